#include "common/RuntimeError.h"

namespace quindorel {

RuntimeError::RuntimeError(Code code, const QString& detail)
    : std::runtime_error(standardDescription(code).toStdString()),
      code_(code),
      description_(detail.isEmpty() ? standardDescription(code)
                                    : standardDescription(code) + QStringLiteral(": ") + detail) {}

QString RuntimeError::standardDescription(Code code) {
    switch (code) {
        case Code::InvalidCall:
            return QStringLiteral("Invalid procedure call or argument");
        case Code::Overflow:
            return QStringLiteral("Overflow");
        case Code::SubscriptOutOfRange:
            return QStringLiteral("Subscript out of range");
        case Code::TypeMismatch:
            return QStringLiteral("Type mismatch");
        case Code::BadFileNameOrNumber:
            return QStringLiteral("Bad file name or number");
        case Code::FileNotFound:
            return QStringLiteral("File not found");
        case Code::DeviceIoError:
            return QStringLiteral("Device I/O error");
        case Code::DiskFull:
            return QStringLiteral("Disk full");
        case Code::InputPastEndOfFile:
            return QStringLiteral("Input past end of file");
        case Code::PermissionDenied:
            return QStringLiteral("Permission denied");
        case Code::PathFileAccessError:
            return QStringLiteral("Path/File access error");
        case Code::PathNotFound:
            return QStringLiteral("Path not found");
        case Code::ObjectVariableNotSet:
            return QStringLiteral("Object variable or With block variable not set");
        case Code::ObjectRequired:
            return QStringLiteral("Object required");
        case Code::InvalidPicture:
            return QStringLiteral("Invalid picture");
    }
    return QStringLiteral("Application-defined or object-defined error");
}

}  // namespace quindorel
