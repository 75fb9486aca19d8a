#pragma once

#include <QString>
#include <stdexcept>

namespace quindorel {

// A run-time error of a trapped procedure. It never leaves the procedure: the
// ErrorTrap that runs the failing statement reports it and carries on.
class RuntimeError : public std::runtime_error {
public:
    enum class Code {
        InvalidCall = 5,
        Overflow = 6,
        SubscriptOutOfRange = 9,
        TypeMismatch = 13,
        BadFileNameOrNumber = 52,
        FileNotFound = 53,
        DeviceIoError = 57,
        DiskFull = 61,
        InputPastEndOfFile = 62,
        PermissionDenied = 70,
        PathFileAccessError = 75,
        PathNotFound = 76,
        ObjectVariableNotSet = 91,
        ObjectRequired = 424,
        InvalidPicture = 481,
    };

    RuntimeError(Code code, const QString& detail = {});

    Code code() const { return code_; }
    // The text shown first in the error report: the standard description,
    // followed by what failed when that helps the user.
    QString description() const { return description_; }

    static QString standardDescription(Code code);

private:
    Code code_;
    QString description_;
};

}  // namespace quindorel
