#pragma once
// One persistence item: ten fields separated by ";", no quoting, each field
// trimmed of blanks and control characters before use.

#include <array>

#include <QString>

namespace oxp {

inline constexpr char kOwnerComponent[] = "(TForm)";
inline constexpr char kVariableComponent[] = "-";

class TPersistItem {
public:
    static constexpr int kFieldCount = 10;
    enum Field {
        Component = 0,
        Property = 1,
        IconCode = 2,
        Key = 3,
        DefaultValue = 4,
        NoSave = 6,
        InSetupDialog = 7,
        Description = 8,
    };

    static TPersistItem Parse(const QString& line);
    // "%s;%s;;%s;;;%d;%d;%s", the form of items added at run time.
    static QString Build(const QString& component, const QString& property, const QString& key,
                         bool noSave, bool inSetupDialog, const QString& description);

    const QString& operator[](Field f) const { return fields_[f]; }
    void Set(Field f, const QString& value) { fields_[f] = value; }
    // At least one of Component, Property and Key is set.
    bool Usable() const;
    bool IsNoSave() const { return fields_[NoSave] == QLatin1String("1"); }
    // The ten fields joined again (an item rewritten in place).
    QString Join() const;

private:
    std::array<QString, kFieldCount> fields_;
};

} // namespace oxp
