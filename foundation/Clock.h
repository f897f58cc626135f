#pragma once

#include <QDate>

#include <optional>

namespace Clock {

// Today's date in local time, or the date a test has set.
QDate today();
void setTodayForTest(std::optional<QDate> date);

} // namespace Clock
