// The outputs' command-line options: each output is given at most once, and
// a number too large for any setting is told by its range.

#include <QCommandLineParser>
#include <gtest/gtest.h>

#include "app/OutputOptions.h"

namespace {

QString Apply(const QStringList& options, TOutputSettings& settings) {
    QCommandLineParser parser;
    AddOutputOptions(parser);
    QStringList arguments = options;
    arguments.prepend(QStringLiteral("vantrelle"));
    EXPECT_TRUE(parser.parse(arguments)) << parser.errorText().toStdString();
    return ApplyOutputOptions(parser, settings);
}

TEST(OutputOptions, AnOutputGivenTwiceIsRefusedAndNothingIsTurnedOn) {
    for (const QString& option :
         {QStringLiteral("--sacn"), QStringLiteral("--artnet"), QStringLiteral("--ola")}) {
        const QString value =
            option == QLatin1String("--artnet") ? QStringLiteral("0:0:1") : QStringLiteral("1");
        TOutputSettings s;
        const QString error = Apply({option, value, option, value}, s);
        EXPECT_EQ(error,
                  option + QStringLiteral(" is given more than once; each output takes one."));
        EXPECT_FALSE(s.sacn.enabled || s.artnet.enabled || s.ola.enabled);
    }
}

TEST(OutputOptions, EachOutputOnceIsTaken) {
    TOutputSettings s;
    EXPECT_EQ(
        Apply({QStringLiteral("--sacn"), QStringLiteral("2@127.0.0.1"), QStringLiteral("--artnet"),
               QStringLiteral("0:0:1"), QStringLiteral("--ola"), QStringLiteral("3")},
              s),
        QString());
    EXPECT_TRUE(s.sacn.enabled && s.artnet.enabled && s.ola.enabled);
    EXPECT_EQ(s.sacn.universe, 2);
}

TEST(OutputOptions, ANumberTooLargeIsToldByItsRange) {
    TOutputSettings s;
    EXPECT_EQ(Apply({QStringLiteral("--ola"), QStringLiteral("99999999999")}, s),
              QStringLiteral("The OLA universe must be between 0 and 2147483647."));
    EXPECT_EQ(Apply({QStringLiteral("--sacn"), QStringLiteral("1@0.0.0.0")}, s),
              QStringLiteral("The sACN destination must be a receiver's address, not 0.0.0.0."));
}

} // namespace
