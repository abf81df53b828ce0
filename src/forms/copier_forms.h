#pragma once
// The copier and burn-in windows' forms, one row per port-count variant.

#include "forms/window_form.h"

namespace forms {

const std::vector<WindowForm>& copierForms();
const std::vector<WindowForm>& burninForms();

// Variant key of the burn-in table: the one-row 8-port form belongs to variant 3 of machine
// type 2, the tall 16-port form to variant 4.
int burninFormVariant(int portCount, int machineType, int machineVariant);

} // namespace forms
