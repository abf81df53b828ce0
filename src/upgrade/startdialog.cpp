#include "upgrade/startdialog.h"

#include "base/log_file.h"
#include "settings/settings.h"
#include "ui_startdialog.h"

StartDialog::StartDialog(QWidget* parent) : QDialog(parent), m_ui(new Ui::StartDialog) {
    m_ui->setupUi(this);
    // Set once the labels exist, so that the form keeps its own geometry.
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    LOGD("new StartDialog\n\r");
    // Small machines are sold without the brand lines.
    if (mSetting.port_count <= 8) {
        m_ui->company_name->setText(QStringLiteral(" "));
        m_ui->kalmo_name->setText(QStringLiteral(" "));
    }
}

StartDialog::~StartDialog() = default;
