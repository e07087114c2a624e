// The framework's exceptions: a common base with a message and an error code,
// and the three kinds the program raises or catches.
#pragma once

#include <QString>
#include <exception>
#include <string>

class RuntimeException : public std::exception {
public:
    explicit RuntimeException(QString message = {}, qint64 errorNumber = 0);
    const char* what() const noexcept override;
    QString Message() const { return message_; }
    qint64 ErrorNumber() const { return errorNumber_; }
    // The class name shown in the unhandled-exception report.
    virtual QString ClassName() const { return QStringLiteral("RuntimeException"); }

private:
    QString message_;
    qint64 errorNumber_;
    std::string what_;
};

// Use of a nil object reference.
class NilObjectException : public RuntimeException {
public:
    explicit NilObjectException(QString message = QStringLiteral("nil object used"));
    QString ClassName() const override { return QStringLiteral("NilObjectException"); }
};

// A file could not be opened, read, written or committed; ErrorNumber is the
// operating system's error code where one is known.
class IOException : public RuntimeException {
public:
    explicit IOException(QString message, qint64 errorNumber = 0);
    QString ClassName() const override { return QStringLiteral("IOException"); }
};

// An argument that the called operation does not accept.
class InvalidArgumentException : public RuntimeException {
public:
    explicit InvalidArgumentException(QString message);
    QString ClassName() const override { return QStringLiteral("InvalidArgumentException"); }
};

// Raises NilObjectException for a nil reference, else gives the object.
template <class T>
T& NotNil(T* p)
{
    if (!p)
        throw NilObjectException();
    return *p;
}
