// The framework's exceptions.
#include "framework/runtime/exceptions.h"

RuntimeException::RuntimeException(QString message, qint64 errorNumber)
    : message_(std::move(message)), errorNumber_(errorNumber), what_(message_.toStdString())
{
}

const char* RuntimeException::what() const noexcept { return what_.c_str(); }

NilObjectException::NilObjectException(QString message) : RuntimeException(std::move(message)) {}

IOException::IOException(QString message, qint64 errorNumber)
    : RuntimeException(std::move(message), errorNumber)
{
}

InvalidArgumentException::InvalidArgumentException(QString message)
    : RuntimeException(std::move(message))
{
}
