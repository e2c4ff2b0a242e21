#pragma once

#include <QString>
#include <optional>
#include <stdexcept>
#include <vector>

namespace tools {

// One value of a card: text, or NULL (std::nullopt).
using CardValue = std::optional<QString>;

// One card: fifteen values in the order of store::cardColumns()
// (Name, Dept, Part, Job, JPhone, Fax, JAddress, City, WWW, E_Mail, HPhone,
// Moblio, HAddress, Des, Del).
using Card = std::vector<CardValue>;

// A failure of the card-file code; what() is the text shown to the user, in
// UTF-8.
class CardFileError : public std::runtime_error
{
public:
    explicit CardFileError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    QString message() const { return m_message; }

private:
    QString m_message;
};

// The first fault of a card, or an empty text when it has none: a card must
// have fifteen values, and every value that is not NULL must fit its column's
// size as dataset::textSize counts it.
QString cardFault(const Card &card);

// Creates a new card file at path: table Dept made by
// store::createTableStatement(), holding the cards in the given order (keys
// 1, 2, ...), written in one transaction with bound parameters.
//
// Every card is checked first (cardFault); a faulty card is an error, nothing
// is cut. Missing parent folders are made. The file is built under a temporary
// name in the target's folder and renamed into place only when complete, never
// over an existing file: an existing path (a dangling link included) is an
// error and stays as it was. Throws CardFileError; a failure leaves no file
// behind at path and no temporary file.
void createCardFile(const QString &path, const std::vector<Card> &cards);

} // namespace tools
