#include "foundation/Clock.h"

namespace {
std::optional<QDate> &fixedToday()
{
    static std::optional<QDate> date;
    return date;
}
} // namespace

namespace Clock {

QDate today()
{
    return fixedToday().value_or(QDate::currentDate());
}

void setTodayForTest(std::optional<QDate> date)
{
    fixedToday() = date;
}

} // namespace Clock
