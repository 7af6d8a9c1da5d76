#include "app/CommandLine.h"

#include "app/OutputOptions.h"

TCommandLine::TCommandLine() {
    m_parser.setApplicationDescription(
        QStringLiteral("Vantrelle, a DMX fader desk. Network outputs given here are on for this "
                       "run only."));
    m_parser.addHelpOption();
    AddOutputOptions(m_parser);
}

bool TCommandLine::Parse(const QStringList& arguments) {
    if (!m_parser.parse(arguments)) {
        m_error = m_parser.errorText();
        return false;
    }
    if (!m_parser.positionalArguments().isEmpty()) {
        m_error =
            QStringLiteral("Unexpected argument: %1").arg(m_parser.positionalArguments().front());
        return false;
    }
    TOutputSettings check;
    m_error = ApplyOutputOptions(m_parser, check);
    return m_error.isEmpty();
}

bool TCommandLine::HelpRequested() const {
    return m_parser.isSet(QStringLiteral("help"));
}

void TCommandLine::ApplyTo(TOutputSettings& settings) const {
    ApplyOutputOptions(m_parser, settings);
}
