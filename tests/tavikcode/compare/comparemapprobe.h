#pragma once

#include "compare/comparemap.h"

// What the Compare window's map drew.
struct CompareMapProbe
{
    static qsizetype markerCount(const CompareMap &map) { return qsizetype(map.m_markers.size()); }
};
