#pragma once
// The tester window's forms, one row per port-count variant.

#include "forms/window_form.h"

namespace forms {

const std::vector<WindowForm>& testerForms();

} // namespace forms
