#pragma once

// Loads the catalogue of the chosen language ("en.qm" for a non-zero index, "ch.qm" for 0)
// into gTranslator and installs it again, but only when the choice differs from the
// current language. A catalogue that fails to load is not reported. True when it switched.
bool switchLanguage(int currentLanguage, int chosenLanguage);
