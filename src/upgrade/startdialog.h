#pragma once
// The screen that covers the panel at start-up until an engine board has its settings.

#include <QDialog>
#include <memory>

namespace Ui {
class StartDialog;
}

class StartDialog final : public QDialog {
    Q_OBJECT

public:
    explicit StartDialog(QWidget* parent = nullptr);
    ~StartDialog() override;

private:
    std::unique_ptr<Ui::StartDialog> m_ui;
};
