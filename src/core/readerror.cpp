#include "readerror.h"

#include "messages.h"

QString readErrorText(EditData::ReadError error, const QString &path)
{
    return Messages::describe({Commands::outcomeOf(error), 0, path});
}

QString writeErrorText(EditData::WriteError error)
{
    return Messages::describe({Commands::outcomeOf(error)});
}
