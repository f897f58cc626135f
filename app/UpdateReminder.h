#pragma once

#include <QDate>
#include <QString>

#include <functional>

// The reminder's decision, apart from the store and the message box.
namespace Reminder {

enum class Action {
    RecordToday, // first start, or a stored value that is not a date: write today, say nothing
    StaySilent,  // within 14 days either way: nothing shown, nothing written
    Ask,         // show the question, then write today
};

constexpr int kThresholdDays = 14;

Action decide(const QString &stored, const QDate &today);

// Stored dates are ISO 8601, so a change of the user's date format cannot break them.
QString encode(const QDate &date);
QDate decode(const QString &stored);

QString question();

} // namespace Reminder

namespace modHelp {

// At start-up: every 15th day or later, offer to look for a newer version.
void UpdateReminder();

// The same, except for the write nobody sees (a first start's, or over an unreadable value): it is
// handed back to be run once the main window is on screen. Empty when nothing is left to write.
// beforeQuestion, if given, runs just before the question is shown.
std::function<void()> UpdateReminderLeavingSilentWrite(const std::function<void()> &beforeQuestion = {});

} // namespace modHelp
