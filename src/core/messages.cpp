#include "messages.h"

#include <QCoreApplication>
#include <QDir>

namespace Messages {

namespace {

struct Entry
{
    const char *context;
    const char *source;
};

// In the order of Text.
constexpr Entry entries[] = {
        {"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "請先打開數據文件。")},
        {"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "新武將人數已滿。")},
        {"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "姓名含有Big5無法表示的字。")},
        {"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "姓名過長，無法寫入。")},
        {"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "指定的新武將數目超過上限。")},
        {"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "指定的男武將數量小於家族數，無法繼續。")},
        {"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "名字庫為空，無法隨機生成。")},
        {"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "無法打開familyName.dat。")},
        {"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "無法打開boyName.dat。")},
        {"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "無法打開girlName.dat。")},
        {"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "已生成1名武將。")},
        {"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "已生成%1名武將。")},
        {"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "已匹配父子關係。")},
        {"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "父子關係沒有變化。")},
        {"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "已匯入%1名武將。")},
        {"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "已貼上%1名武將。")},
        {"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "已保存%1。")},
        {"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "武將碼已損壞。")},
        {"OfficerTableWindow", QT_TRANSLATE_NOOP("OfficerTableWindow", "CSV文件缺少「編號」欄。")},
        {"OfficerTableWindow",
         QT_TRANSLATE_NOOP("OfficerTableWindow", "CSV文件與目前的武將相同，沒有需要更新的內容。")},
        {"OfficerTableWindow", QT_TRANSLATE_NOOP("OfficerTableWindow", "已從CSV更新%1名武將。")},
        {"OfficerTableWindow", QT_TRANSLATE_NOOP("OfficerTableWindow", "已匯出%1名武將。")},
        {"OfficerTableWindow", QT_TRANSLATE_NOOP("OfficerTableWindow", "無法讀取「%1」：%2")},
        {"OfficerTableWindow", QT_TRANSLATE_NOOP("OfficerTableWindow", "無法寫入「%1」：%2")},
        {"OfficerTableWindow", QT_TRANSLATE_NOOP("OfficerTableWindow", "文件過大。")},
        {"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "文件無法打開。")},
        {"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "文件大小非預期。")},
        {"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "「%1」已在另一個視窗中打開。")},
        {"OfficerDocument", QT_TRANSLATE_NOOP("OfficerDocument", "文件無法以可寫方式打開。")},
        {"OfficerDocument", QT_TRANSLATE_NOOP("OfficerDocument", "文件寫入失敗。")},
};
static_assert(sizeof(entries) / sizeof(entries[0]) == int(Text::WriteFailed) + 1,
              "one entry per text");

} // namespace

QString text(Text id)
{
    const Entry &entry = entries[int(id)];
    return QCoreApplication::translate(entry.context, entry.source);
}

QString describe(const Commands::Result &result)
{
    using Commands::Outcome;
    switch (result.outcome) {
    case Outcome::Changed:
    case Outcome::Unchanged:
    case Outcome::Done:
        // The backup's file and reason go into the question that asks
        // whether to go on without it.
    case Outcome::BackupFailed:
        break;
    case Outcome::NoFile:
        return text(Text::NoFile);
    case Outcome::Full:
        return text(Text::Full);
    case Outcome::Unencodable:
        return text(Text::Unencodable);
    case Outcome::TooLong:
        return text(Text::TooLong);
    case Outcome::TooMany:
        return text(Text::TooMany);
    case Outcome::TooFewMen:
        return text(Text::TooFewMen);
    case Outcome::EmptyPools:
        return text(Text::EmptyPools);
    case Outcome::CannotOpen:
        return text(Text::CannotOpenFile);
    case Outcome::WrongSize:
        return text(Text::WrongSize);
    case Outcome::HeldElsewhere:
        return text(Text::HeldElsewhere).arg(QDir::toNativeSeparators(result.file));
    case Outcome::CannotOpenForWriting:
        return text(Text::CannotOpenForWriting);
    case Outcome::WriteFailed:
        return text(Text::WriteFailed);
    }
    return QString();
}

QString refusal(Commands::Outcome outcome)
{
    return describe({outcome});
}

QString poolFailure(int file)
{
    return file >= 0 && file < 3 ? text(Text(int(Text::NoFamilyNames) + file)) : QString();
}

} // namespace Messages
