#include "readerror.h"

#include <QCoreApplication>
#include <QDir>

QString readErrorText(EditData::ReadError error, const QString &path)
{
    using EditData::ReadError;
    switch (error) {
    case ReadError::None:
        break;
    case ReadError::CannotOpen:
        return QCoreApplication::translate("MainWindow", "文件無法打開。");
    case ReadError::WrongSize:
        return QCoreApplication::translate("MainWindow", "文件大小非預期。");
    case ReadError::HeldElsewhere:
        return QCoreApplication::translate("MainWindow", "「%1」已在另一個視窗中打開。")
                .arg(QDir::toNativeSeparators(path));
    }
    return QString();
}
