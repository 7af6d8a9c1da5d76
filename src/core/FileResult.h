#pragma once
// One way to report a file error. A TFileError carries the file's path, what
// was being done (a text in which %1 stands for the path; it may be empty),
// the system's reason (may be empty) and, for a task of several steps, the
// step that failed (may be empty); Message() joins them the one way every
// caller shows them. A TFileResult<T> holds either a T or a TFileError;
// TFileResult<> holds nothing on success. A result is true on success.

#include <optional>
#include <utility>
#include <variant>

#include <QString>

class TFileError {
public:
    TFileError(QString path, QString action, QString reason = {}, QString step = {})
        : path_(std::move(path)), action_(std::move(action)), reason_(std::move(reason)),
          step_(std::move(step)) {}

    const QString& Path() const { return path_; }
    const QString& Action() const { return action_; }
    const QString& Reason() const { return reason_; }
    const QString& Step() const { return step_; }

    // The action with the path put in for %1, then the step with a colon and
    // the reason, each after a space.
    QString Message() const;

private:
    QString path_;
    QString action_;
    QString reason_;
    QString step_;
};

template <class T = void>
class TFileResult {
public:
    TFileResult(T value) : state_(std::move(value)) {}
    TFileResult(TFileError error) : state_(std::move(error)) {}

    explicit operator bool() const { return state_.index() == 0; }
    // Only on success, and Error() only on failure (else std::bad_variant_access).
    const T& Value() const { return std::get<0>(state_); }
    const TFileError& Error() const { return std::get<1>(state_); }

private:
    std::variant<T, TFileError> state_;
};

template <>
class TFileResult<void> {
public:
    TFileResult() = default;
    TFileResult(TFileError error) : error_(std::move(error)) {}

    explicit operator bool() const { return !error_.has_value(); }
    // Only on failure (else std::bad_optional_access).
    const TFileError& Error() const { return error_.value(); }

private:
    std::optional<TFileError> error_;
};
