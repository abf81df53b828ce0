#include "forms/form_language.h"

#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <utility>
#include <vector>

namespace {

class FormLanguage final : public QObject {
public:
    FormLanguage(QWidget* form, std::function<void()> retranslate)
        : QObject(form), mForm(form), mRetranslate(std::move(retranslate)) {
        remember();
        form->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == mForm && event->type() == QEvent::LanguageChange)
            retranslate();
        return false;
    }

private:
    struct Shown {
        QPointer<QLabel> label;
        QString formText; // what the form set, in the language it was set in
    };

    void remember() {
        mShown.clear();
        for (QLabel* label : mForm->findChildren<QLabel*>())
            mShown.push_back({label, label->text()});
    }

    void retranslate() {
        // Texts the program wrote since the form set its own.
        std::vector<std::pair<QLabel*, QString>> written;
        for (const Shown& s : mShown) {
            if (s.label && s.label->text() != s.formText)
                written.emplace_back(s.label, s.label->text());
        }
        mRetranslate();
        for (Shown& s : mShown) {
            if (s.label)
                s.formText = s.label->text();
        }
        for (const auto& [label, text] : written)
            label->setText(text);
    }

    QWidget* mForm;
    std::function<void()> mRetranslate;
    std::vector<Shown> mShown;
};

} // namespace

void followLanguage(QWidget* form, std::function<void()> retranslate) {
    new FormLanguage(form, std::move(retranslate));
}
