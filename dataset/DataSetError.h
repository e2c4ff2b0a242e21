#pragma once

#include <QString>
#include <stdexcept>

namespace dataset {

// An error of the data layer or of the store. what() is the text the user sees,
// in UTF-8.
class DataSetError : public std::runtime_error
{
public:
    explicit DataSetError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    QString message() const { return m_message; }

private:
    QString m_message;
};

} // namespace dataset
