#pragma once
// Runs a handler where the user's action began: a failure is shown in an
// error box with its own message and ends only that handler.

#include <exception>

#include "base/MessageBox.h"

template <typename F>
void RunGuarded(QWidget* parent, F&& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        ShowMessageBox(parent, QString::fromLocal8Bit(e.what()), TMsgDlgType::mtError,
                       QMessageBox::Ok);
    }
}
