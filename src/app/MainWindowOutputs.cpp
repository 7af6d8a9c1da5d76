// The network outputs beside the host link: their settings file beside
// "Config.dat", the command line's changes for this run, the "DMX Outputs…"
// dialog and the state shown at the right of the menu bar.

#include <QFileInfo>
#include <QMenuBar>
#include <cstdio>

#include "app/FrameSender.h"
#include "app/MainWindow.h"
#include "base/MessageBox.h"
#include "core/WholeFile.h"
#include "dialogs/OutputStatusLabel.h"
#include "dialogs/OutputsDialog.h"
#include "output/Cid.h"
#include "output/OutputSet.h"
#include "output/OutputSettingsFile.h"
#include "persist/Persist.h"

namespace {
constexpr char OUTPUT_SETTINGS_FILE[] = "DmxOutputs.ini";
}

QString TMainWindow::OutputSettingsPath() const {
    return QFileInfo(PreferenceStore->StoreFilePath()).absolutePath() + QLatin1Char('/') +
           QLatin1String(OUTPUT_SETTINGS_FILE);
}

void TMainWindow::StartOutputs() {
    // What an interrupted save left beside the file goes first.
    RemoveSaveLeftovers(OutputSettingsPath());
    const std::string path = OutputSettingsPath().toStdString();
    TOutputSettings saved;
    // A damaged file leaves every network output off; the window still works.
    if (const std::string error = ReadOutputSettings(path, saved); !error.empty())
        std::fprintf(stderr, "vantrelle: %s; network outputs stay off\n", error.c_str());
    TOutputSettings effective = saved;
    if (outputOverrides_) outputOverrides_(effective);
    // The sACN source keeps one identity per installation, made the first
    // time sACN is on and kept in the file from then on.
    if (effective.sacn.enabled && saved.cid.empty()) {
        saved.cid = CidToText(GenerateCid());
        effective.cid = saved.cid;
        if (const std::string error = SaveOutputSettings(path, saved); !error.empty())
            std::fprintf(stderr, "vantrelle: %s\n", error.c_str());
    }
    if (!outputStatus_) {
        outputStatus_ = new TOutputStatusLabel([this] { return outputs_->Statuses(); }, MenuBar);
        AddToStatusCorner(outputStatus_);
    }
    ApplyOutputSettings(effective);
}

void TMainWindow::ApplyOutputSettings(const TOutputSettings& settings) {
    outputSettings_ = settings;
    frameSender_->SetHostLinkOn(settings.hostLink);
    outputs_->Apply(settings);
    frameSender_->PostToOutputs();
    outputStatus_->Refresh();
}

void TMainWindow::ChooseOutputs() {
    TOutputsDialog dialog(outputSettings_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    TOutputSettings chosen = dialog.Settings();
    if (chosen.cid.empty()) chosen.cid = CidToText(GenerateCid());
    if (const std::string error = SaveOutputSettings(OutputSettingsPath().toStdString(), chosen);
        !error.empty())
        ShowMessageBox(this, QString::fromStdString(error), TMsgDlgType::mtError, QMessageBox::Ok);
    ApplyOutputSettings(chosen);
}
