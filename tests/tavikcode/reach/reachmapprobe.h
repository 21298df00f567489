#pragma once

#include "reach/reachmap.h"

// What the Reach window's map drew.
struct ReachMapProbe
{
    static qsizetype dotCount(const ReachMap &map) { return qsizetype(map.m_dots.size()); }
    static QPointF pixelOf(const ReachMap &map, QPointF mapPoint) { return map.pixelOf(mapPoint); }
};
