#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace entry {

// A listing whose Subnmit went to the server and got no answer: it may or may not be
// stored. It is kept in a file of the program's folder, with the token of its
// submit, until the server has said which, so that it is neither lost nor stored
// twice when the program is closed in between.
struct UnconfirmedListing {
    QString token;
    QStringList values;  // the 76 values as sent, placeholders included
};

// The file that keeps them, in the program's folder.
QString unconfirmedFile(const QString& folder);

// The listings the file keeps; none without a file. Throws shell::Failure when the
// file is there but cannot be read.
QList<UnconfirmedListing> unconfirmedListings(const QString& folder);

// Adds the listing to the file, or replaces the one with its token; the file is
// replaced whole, never left half-written. Throws shell::Failure.
void keepUnconfirmed(const QString& folder, const UnconfirmedListing& listing);

// Takes the listing of the token out of the file once its outcome is known; the file
// goes with the last one. Nothing happens without a file. Throws shell::Failure.
void forgetUnconfirmed(const QString& folder, const QString& token);

}  // namespace entry
