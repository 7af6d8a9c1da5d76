// The setup dialog of ToxPersist: the items flagged InSetupDialog, each with
// its value as the text it would be stored as.

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QWidget>

#include "persist/ItemStore.h"
#include "persist/Persist.h"
#include "storage/Encodings.h"
#include "storage/PersistItem.h"

using oxp::TPersistItem;

namespace {

constexpr char kSetupCaptionSuffix[] = " Setup Dialog";

// One editable row: the property and the editor that holds its text.
struct Row {
    oxp::TPropRef property;
    QCheckBox* check = nullptr;
    QLineEdit* edit = nullptr;

    QString Text() const {
        if (check) return check->isChecked() ? QStringLiteral("True") : QStringLiteral("False");
        return edit->text();
    }
};

bool IsBoolean(const oxp::TPropRef& p) {
    return p.property.metaType().id() == QMetaType::Bool;
}

} // namespace

bool ToxPersist::ShowSetupDialog() {
    QWidget* owner = OwnerWindow();
    QDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("SetupDialog"));
    dialog.setWindowTitle((owner ? owner->windowTitle() : QString()) +
                          QLatin1String(kSetupCaptionSuffix));
    auto* form = new QFormLayout(&dialog);
    std::vector<Row> rows;
    for (const QString& line : items_) {
        const TPersistItem item = TPersistItem::Parse(line);
        if (!item.Usable() || item[TPersistItem::InSetupDialog] != QLatin1String("1")) continue;
        const std::optional<oxp::TItemTarget> target = Resolve(item, storageType_ == oxpRegistry);
        if (!target || !target->property || oxp::IsObjectValue(*target->property)) continue;
        Row row{*target->property};
        QWidget* editor = nullptr;
        if (IsBoolean(row.property)) {
            editor = row.check = new QCheckBox(&dialog);
            row.check->setChecked(row.property.Get().toBool());
        } else {
            editor = row.edit = new QLineEdit(oxp::EncodeText(row.property), &dialog);
        }
        editor->setObjectName(item[TPersistItem::Key]);
        const QString& description = item[TPersistItem::Description];
        form->addRow(description.isEmpty() ? item[TPersistItem::Key] : description, editor);
        rows.push_back(row);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return false;
    for (const Row& row : rows)
        oxp::ApplyItemText(row.property, row.Text());
    return true;
}
