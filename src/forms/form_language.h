#pragma once
// Open windows follow a language switch. The generated forms set their texts once, and a
// window built under one language would keep them until the next start; these helpers
// set them again when the widget receives QEvent::LanguageChange.

#include <functional>

class QWidget;

// Call right after setupUi: on every language change `retranslate` (the form's
// retranslateUi) runs again, but a label the program has written to since keeps what it
// shows; only labels that still carry the form's own text take the new language.
void followLanguage(QWidget* form, std::function<void()> retranslate);
