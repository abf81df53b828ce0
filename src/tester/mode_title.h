#pragma once
// Work-mode names and the titles on the covers of empty tester frames.

#include <QString>
#include <cstdint>

namespace tester {

// Translated name of the work mode, as the status strip shows it.
QString modeName(int mode);
// Cover title when the window starts: translated name, panel version and, once the engine
// has reported one, the engine version, both in hexadecimal.
QString startTitle(int mode, uint32_t engineVersion);
// Cover title the window is built with and re-titled with after a settings change: the
// test and format modes carry untranslated names.
QString settingTitle(int mode, uint32_t engineVersion);

} // namespace tester
