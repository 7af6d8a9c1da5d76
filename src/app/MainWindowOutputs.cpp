// The network outputs beside the host link: their settings file beside
// "Config.dat", the command line's changes for this run, the "DMX Outputs…"
// dialog and the state shown at the right of the menu bar.

#include <QFileInfo>
#include <QMenuBar>
#include <QTimer>
#include <cstdio>
#include <filesystem>

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
// Added to the name of a refused settings file when new settings replace it.
constexpr char REFUSED_SUFFIX[] = ".refused";
} // namespace

QString TMainWindow::OutputSettingsPath() const {
    return QFileInfo(PreferenceStore->StoreFilePath()).absolutePath() + QLatin1Char('/') +
           QLatin1String(OUTPUT_SETTINGS_FILE);
}

void TMainWindow::StartOutputs() {
    // What an interrupted save left beside the file goes first.
    RemoveSaveLeftovers(OutputSettingsPath());
    const std::string path = OutputSettingsPath().toStdString();
    TOutputSettings saved;
    // A refused file leaves every network output off and is kept as it is
    // until the user chooses again; the window says why, with the line.
    const std::string refusal = ReadOutputSettings(path, saved);
    settingsRefused_ = !refusal.empty();
    if (settingsRefused_) {
        std::fprintf(stderr, "vantrelle: %s (network outputs stay off)\n", refusal.c_str());
        QTimer::singleShot(0, this, [this, refusal] {
            ShowMessageBox(
                this,
                QStringLiteral("The DMX output settings were refused, so the network "
                               "outputs are off.\n\n%1\n\nChoose them again in "
                               "Preferences > DMX Outputs\u2026; the refused file is "
                               "then kept beside it as \"%2\".")
                    .arg(QString::fromStdString(refusal),
                         QLatin1String(OUTPUT_SETTINGS_FILE) + QLatin1String(REFUSED_SUFFIX)),
                TMsgDlgType::mtError, QMessageBox::Ok);
        });
    }
    TOutputSettings effective = saved;
    if (outputOverrides_) outputOverrides_(effective);
    // The sACN source keeps one identity per installation, made the first
    // time sACN is on and kept in the file from then on. A refused file is
    // not written over: the identity then lasts this run, unless the file's
    // own could be read.
    if (effective.sacn.enabled && saved.cid.empty()) {
        saved.cid = CidToText(GenerateCid());
        effective.cid = saved.cid;
        if (!settingsRefused_) {
            if (const std::string error = SaveOutputSettings(path, saved); !error.empty())
                std::fprintf(stderr, "vantrelle: %s\n", error.c_str());
        }
    }
    if (!outputStatus_) {
        outputStatus_ = new TOutputStatusLabel([this] { return outputs_->Statuses(); }, MenuBar);
        AddToStatusCorner(outputStatus_);
    }
    ApplyOutputSettings(effective);
}

void TMainWindow::ApplyOutputSettings(const TOutputSettings& settings) {
    const bool restarts = !ChangedOutputs(outputSettings_, settings).empty();
    outputSettings_ = settings;
    frameSender_->SetHostLinkOn(settings.hostLink);
    outputs_->Apply(settings);
    // A restarted output starts from the levels on the faders; the others
    // keep sending them already.
    if (restarts) frameSender_->PostToOutputs();
    outputStatus_->Refresh();
}

void TMainWindow::ChooseOutputs() {
    TOutputsDialog dialog(outputSettings_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    TOutputSettings chosen = dialog.Settings();
    // Nothing changed: the file and every stream stay as they are.
    if (chosen == outputSettings_ && !settingsRefused_) return;
    if (chosen.cid.empty()) chosen.cid = CidToText(GenerateCid());
    const std::string path = OutputSettingsPath().toStdString();
    if (settingsRefused_) {
        // The refused file is what the user had; it is not lost to the new one.
        std::error_code ec;
        std::filesystem::copy_file(path, path + REFUSED_SUFFIX,
                                   std::filesystem::copy_options::overwrite_existing, ec);
        if (ec) {
            ShowMessageBox(this,
                           QStringLiteral("The refused settings could not be kept as \"%1\": %2. "
                                          "Nothing was saved.")
                               .arg(QString::fromStdString(path + REFUSED_SUFFIX),
                                    QString::fromStdString(ec.message())),
                           TMsgDlgType::mtError, QMessageBox::Ok);
            return;
        }
    }
    if (const std::string error = SaveOutputSettings(path, chosen); !error.empty())
        ShowMessageBox(this, QString::fromStdString(error), TMsgDlgType::mtError, QMessageBox::Ok);
    else
        settingsRefused_ = false;
    ApplyOutputSettings(chosen);
}
