#pragma once
// Runs a modal dialog the way an operator meets it: exec() with the operator's actions queued
// to run once the dialog is up. A dialog still open after the actions is rejected, so that a
// failed check inside them cannot hang the suite.

#include <QDialog>
#include <QTimer>

#include <functional>

class QAbstractButton;
class QDialogButtonBox;

// exec() result: QDialog::Accepted or QDialog::Rejected.
int runDialog(QDialog& dialog, const std::function<void()>& actions);

// Left-clicks a button as a finger on the touch screen would, turning to its tab page first.
void tap(QAbstractButton* button);
// The OK or Cancel button of the dialog's button box named "buttonBox".
void pressOk(QDialog& dialog);
void pressCancel(QDialog& dialog);
