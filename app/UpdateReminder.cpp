#include "app/UpdateReminder.h"

#include "foundation/Clock.h"
#include "foundation/MessageBoxes.h"
#include "foundation/Settings.h"
#include "web/modHelp.h"

namespace Reminder {

QString encode(const QDate &date)
{
    return date.toString(Qt::ISODate);
}

QDate decode(const QString &stored)
{
    return QDate::fromString(stored.trimmed(), Qt::ISODate);
}

Action decide(const QString &stored, const QDate &today)
{
    const QDate last = decode(stored);
    // An unreadable value would otherwise silence the reminder for good: start counting afresh.
    if (!last.isValid())
        return Action::RecordToday;
    const qint64 days = today.daysTo(last);
    if (days >= -kThresholdDays && days <= kThresholdDays)
        return Action::StaySilent;
    return Action::Ask;
}

QString question()
{
    return QStringLiteral("There maybe an update to this software available\r"
                          "Do you want to check for an update?");
}

} // namespace Reminder

void modHelp::UpdateReminder()
{
    if (const std::function<void()> write = UpdateReminderLeavingSilentWrite())
        write();
}

std::function<void()> modHelp::UpdateReminderLeavingSilentWrite(const std::function<void()> &beforeQuestion)
{
    const QDate today = Clock::today();
    switch (Reminder::decide(Settings::reminderDate(), today)) {
    case Reminder::Action::StaySilent:
        return {};
    case Reminder::Action::RecordToday:
        // The date decided on is the one written, whenever the write runs.
        return [value = Reminder::encode(today)] { Settings::setReminderDate(value); };
    case Reminder::Action::Ask: {
        if (beforeQuestion)
            beforeQuestion();
        const bool yes = MessageBoxes::askYesNo(nullptr, Reminder::question());
        // Written before the page opens, so a failing browser cannot make it ask again tomorrow.
        Settings::setReminderDate(Reminder::encode(today));
        if (yes)
            modHelp::OpenDownloadPage();
        return {};
    }
    }
    return {};
}
