#pragma once

#include <QString>

// The main window's values in the settings store, all in section "Orlix".
namespace settingname {
inline const QString kSection = QStringLiteral("Orlix");
inline const QString kLeft = QStringLiteral("TavikViewLeft");
inline const QString kTop = QStringLiteral("TavikViewTop");
inline const QString kWidth = QStringLiteral("TavikViewWidth");
inline const QString kHeight = QStringLiteral("TavikViewHeight");
inline const QString kFolder = QStringLiteral("TavikViewFolder");
inline const QString kAlternate = QStringLiteral("TavikViewAlternate");
inline const QString kNotifyOff = QStringLiteral("TavikViewNotifyOff");
inline const QString kLastGet = QStringLiteral("TavikViewLastGet");
inline const QString kLastVers = QStringLiteral("TavikViewLastVers");
} // namespace settingname
