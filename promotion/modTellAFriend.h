#pragma once

#include <QString>

class QWidget;

// The refer-a-friend submission: captured entries, their checks and the address that carries them.
namespace modTellAFriend {

struct Referral
{
    QString name;
    QString email;
    QString message;
    QString friendName;
    QString friendEmail;
    QString url; // the last address opened
};

// Overwritten by every press of the screen's button; lives as long as the program.
extern Referral ReferralData;

// The texts the five fields show while empty.
namespace Placeholder {
inline QString name()
{
    return QStringLiteral("Your Name");
}
inline QString email()
{
    return QStringLiteral("Your Email Address");
}
inline QString message()
{
    return QStringLiteral("Your Message");
}
inline QString friendName()
{
    return QStringLiteral("Friend's Name");
}
inline QString friendEmail()
{
    return QStringLiteral("Friend's Email Address");
}
} // namespace Placeholder

// The message field's text when the screen opens: it differs from the bare placeholder, so focus keeps it.
inline QString messageOpeningText()
{
    return Placeholder::message() + QStringLiteral("\r\n");
}

// Removes leading and trailing spaces (code 32) only; tabs and line breaks stay.
QString trimSpaces(const QString &text);

// The screen's own checks on the two trimmed addresses: the message to show, or empty when they pass.
QString addressProblem(const QString &email, const QString &friendEmail);

// The submission's checks on captured values: the message to show, or empty when they pass.
QString referralProblem(const Referral &referral);

// The refer page's address with every value percent-encoded.
QString referralAddress(const Referral &referral);

// Checks ReferralData, then builds the address, stores it in ReferralData.url and opens it. A refusal
// is shown over owner.
void SubmitReferral(QWidget *owner);

} // namespace modTellAFriend
