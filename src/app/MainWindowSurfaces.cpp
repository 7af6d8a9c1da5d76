// The control surfaces: their settings file beside "Config.dat", the
// command line's changes for this run, the "Control Surfaces…" dialog, the
// fader popup's "Learn Control", the soft-takeover markers on the faders
// and the surfaces' state at the right of the menu bar.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QTimer>

#include "app/MainWindow.h"
#include "app/SurfacesDialog.h"
#include "bank/BankView.h"
#include "bank/Fader.h"
#include "base/MessageBox.h"
#include "core/WholeFile.h"
#include "persist/Persist.h"
#include "surfaceio/MidiSurface.h"
#include "surfaceio/OscSurface.h"
#include "surfaces/ProfileFiles.h"

#ifndef VANTRELLE_DATA_DIR
#define VANTRELLE_DATA_DIR "/usr/share/vantrelle"
#endif

namespace {

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

QString MidiStateWord(const TPortStatus& status) {
    switch (status.State) {
    case TPortState::Off:
        return QStringLiteral("off");
    case TPortState::Waiting:
        return QStringLiteral("waiting");
    case TPortState::Open:
        return QStringLiteral("open");
    case TPortState::Gone:
        return QStringLiteral("gone");
    case TPortState::Failed:
        return FromStd(status.Text);
    }
    return {};
}

} // namespace

QString TMainWindow::SurfaceSettingsPath() const {
    return QFileInfo(PreferenceStore->StoreFilePath()).absolutePath() + QLatin1Char('/') +
           QLatin1String(SURFACE_SETTINGS_FILE_NAME);
}

TProfileFolders TMainWindow::ProfileFolders() const {
    TProfileFolders folders;
    folders.User =
        QFileInfo(PreferenceStore->StoreFilePath()).absolutePath() + QStringLiteral("/surfaces");
    folders.Shipped << QCoreApplication::applicationDirPath() + QStringLiteral("/surfaces")
                    << QStringLiteral(VANTRELLE_DATA_DIR "/surfaces");
    folders.Shipped.removeDuplicates();
    return folders;
}

void TMainWindow::StartSurfaces() {
    RemoveSaveLeftovers(SurfaceSettingsPath());
    TSurfaceSettings saved;
    QFile file(SurfaceSettingsPath());
    if (file.exists()) {
        std::string error;
        if (!file.open(QIODevice::ReadOnly)) {
            error = "cannot be read (" + file.errorString().toStdString() + ")";
        } else {
            const QByteArray bytes = file.read(MAX_SURFACE_SETTINGS_BYTES + 1);
            error = ParseSurfaceSettings(
                std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), saved);
        }
        // A damaged file leaves every surface off, said in the window; the
        // file is kept as it is for the user to mend.
        if (!error.empty()) {
            const QString message = SurfaceSettingsPath() + QStringLiteral(": ") + FromStd(error) +
                                    QStringLiteral("; control surfaces stay off");
            std::fprintf(stderr, "vantrelle: %s\n", message.toLocal8Bit().constData());
            QTimer::singleShot(0, this, [this, message] {
                ShowMessageBox(this, message, TMsgDlgType::mtError, QMessageBox::Ok);
            });
            saved = TSurfaceSettings{};
        }
    }
    TSurfaceSettings effective = saved;
    if (surfaceOverrides_) surfaceOverrides_(effective);
    if (!surfaceStatus_) {
        surfaceStatus_ = new QLabel(MenuBar);
        surfaceStatus_->setObjectName(QStringLiteral("SurfaceStatus"));
        surfaceStatus_->setContentsMargins(6, 0, 6, 0);
        surfaceStatus_->setVisible(false);
        AddToStatusCorner(surfaceStatus_);
        // The OSC counts change without a signal.
        auto* poll = new QTimer(surfaceStatus_);
        connect(poll, &QTimer::timeout, this, [this] { ShowSurfaceStatus(); });
        poll->start(1000);
    }
    ApplySurfaceSettings(effective);
}

void TMainWindow::ApplySurfaceSettings(const TSurfaceSettings& settings) {
    surfaceSettings_ = settings;
    learningSlot_ = 0;
    delete midiSurface_;
    midiSurface_ = nullptr;
    delete oscSurface_;
    oscSurface_ = nullptr;
    QStringList problems;
    const auto focus = [this] { return bank_->Focus(); };
    if (settings.MidiEnabled) {
        TSurfaceProfile profile;
        if (const std::string error =
                LoadProfile(ProfileFolders(), FromStd(settings.Profile), profile);
            !error.empty()) {
            problems << FromStd(error) + QStringLiteral("; the MIDI surface stays off");
        } else {
            midiSurface_ = new TMidiSurface(*model_, settings, profile, focus, this);
            connect(model_, &TDeskModel::changed, midiSurface_, &TMidiSurface::Follow);
            connect(midiSurface_, &TSurfaceBinding::statusChanged, this,
                    [this] { ShowSurfaceStatus(); });
            connect(midiSurface_, &TSurfaceBinding::markersChanged, this,
                    [this] { ShowTakeoverMarkers(); });
            connect(midiSurface_, &TMidiSurface::learned, this,
                    [this](int slot, const QString& control, const TSurfaceProfile& learned) {
                        // Saving starts the surface again: not inside its own signal.
                        QTimer::singleShot(0, this, [this, slot, control, learned] {
                            SaveLearnedProfile(slot, control, learned);
                        });
                    });
            midiSurface_->Start();
        }
    }
    if (settings.OscEnabled) {
        oscSurface_ = new TOscSurface(*model_, focus, this);
        connect(model_, &TDeskModel::changed, oscSurface_, &TOscSurface::Follow);
        if (const std::string error =
                oscSurface_->Start(settings.OscAddress, settings.OscPort, settings.OscFeedback);
            !error.empty()) {
            problems << QStringLiteral("OSC: ") + FromStd(error);
            delete oscSurface_;
            oscSurface_ = nullptr;
        }
    }
    ShowSurfaceStatus();
    ShowTakeoverMarkers();
    if (!problems.isEmpty()) {
        const QString message = problems.join(QLatin1Char('\n'));
        std::fprintf(stderr, "vantrelle: %s\n", message.toLocal8Bit().constData());
        QTimer::singleShot(0, this, [this, message] {
            ShowMessageBox(this, message, TMsgDlgType::mtError, QMessageBox::Ok);
        });
    }
}

void TMainWindow::ShowSurfaceStatus() {
    if (!surfaceStatus_) return;
    QStringList parts, details;
    if (midiSurface_) {
        const TPortStatus status = midiSurface_->Status();
        QString word = MidiStateWord(status);
        if (learningSlot_ != 0) word = QStringLiteral("learning");
        parts << QStringLiteral("MIDI: ") + word;
        details << QStringLiteral("MIDI (%1, %2): %3")
                       .arg(QLatin1String(MidiApiName(surfaceSettings_.MidiApi)),
                            FromStd(midiSurface_->Profile().Name), FromStd(status.Text));
    }
    if (oscSurface_) {
        QString text = QStringLiteral("OSC: %1").arg(surfaceSettings_.OscPort);
        if (oscSurface_->Dropped() > 0)
            text += QStringLiteral(", %1 dropped").arg(oscSurface_->Dropped());
        parts << text;
        details << QStringLiteral("OSC on %1:%2: %3 accepted, %4 dropped")
                       .arg(FromStd(surfaceSettings_.OscAddress))
                       .arg(surfaceSettings_.OscPort)
                       .arg(oscSurface_->Accepted())
                       .arg(oscSurface_->Dropped());
    }
    const QString next = parts.join(QStringLiteral("  "));
    surfaceStatus_->setVisible(!next.isEmpty());
    if (next != surfaceStatus_->text()) surfaceStatus_->setText(next);
    surfaceStatus_->setToolTip(details.join(QLatin1Char('\n')));
}

void TMainWindow::ShowTakeoverMarkers() {
    for (int slot = 1; slot <= FADERS_PER_PAGE; ++slot) {
        TFader* fader = bank_->FaderAt(slot);
        if (fader == nullptr) continue;
        fader->SetTakeoverMarker(midiSurface_ ? midiSurface_->Marker(slot) : std::nullopt);
    }
}

void TMainWindow::ChooseSurfaces() {
    TSurfacesDialog dialog(surfaceSettings_, ListProfiles(ProfileFolders()), this);
    if (dialog.exec() != QDialog::Accepted) return;
    const TSurfaceSettings chosen = dialog.Settings();
    const std::string text = FormatSurfaceSettings(chosen);
    if (const TFileResult<> saved = ReplaceFileWhole(
            SurfaceSettingsPath(), QByteArrayView(text.data(), static_cast<qsizetype>(text.size())),
            QStringLiteral("%1:"));
        !saved)
        ShowMessageBox(this, saved.Error().Message(), TMsgDlgType::mtError, QMessageBox::Ok);
    ApplySurfaceSettings(chosen);
}

void TMainWindow::LearnControl() {
    Guarded([&] {
        const int slot = model_->CurrentFader();
        if (midiSurface_ == nullptr || midiSurface_->Status().State != TPortState::Open) {
            ShowMessageBox(this,
                           QStringLiteral("No MIDI control surface is open. Choose one in "
                                          "Preferences > Control Surfaces\u2026 first."),
                           TMsgDlgType::mtInformation, QMessageBox::Ok);
            return;
        }
        if (slot < 1 || !midiSurface_->Learn(slot)) {
            ShowMessageBox(this,
                           QStringLiteral("This fader is not on the surface's bank; move the "
                                          "bank to it first."),
                           TMsgDlgType::mtInformation, QMessageBox::Ok);
            return;
        }
        learningSlot_ = slot;
        ShowSurfaceStatus();
    });
}

void TMainWindow::SaveLearnedProfile(int slot, const QString& control,
                                     const TSurfaceProfile& learned) {
    if (midiSurface_ == nullptr) return;
    learningSlot_ = 0;
    // The learned map goes to the user's folder under the profile's own file
    // name, where it is found before the shipped one.
    const TProfileFolders folders = ProfileFolders();
    const QString name = surfaceSettings_.Profile.empty() ? QLatin1String(GENERIC_PROFILE_FILE)
                                                          : FromStd(surfaceSettings_.Profile);
    QDir().mkpath(folders.User);
    const std::string text = FormatSurfaceProfile(learned);
    const TFileResult<> saved = ReplaceFileWhole(
        folders.User + QLatin1Char('/') + name,
        QByteArrayView(text.data(), static_cast<qsizetype>(text.size())), QStringLiteral("%1:"));
    if (!saved) {
        ShowMessageBox(this, saved.Error().Message(), TMsgDlgType::mtError, QMessageBox::Ok);
        ShowSurfaceStatus();
        return;
    }
    std::fprintf(stderr, "vantrelle: fader %d learned %s\n", slot,
                 control.toLocal8Bit().constData());
    // The surface starts again with the map that holds the new control.
    ApplySurfaceSettings(surfaceSettings_);
}
