#include "promotion/modTellAFriend.h"

#include "foundation/MessageBoxes.h"
#include "web/LinkTable.h"
#include "web/modHelp.h"

#include <QUrl>

namespace modTellAFriend {

Referral ReferralData;

QString trimSpaces(const QString &text)
{
    const QChar space(u' ');
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == space)
        ++first;
    while (last > first && text.at(last - 1) == space)
        --last;
    return text.mid(first, last - first);
}

QString addressProblem(const QString &email, const QString &friendEmail)
{
    if (email == friendEmail)
        return QStringLiteral("Please Enter Distinct Email Addresses");
    const QString proper = QStringLiteral("Please Enter Proper Email Address");
    if (!email.contains(u'@') || !friendEmail.contains(u'@'))
        return proper;
    if (!email.contains(u'.') || !friendEmail.contains(u'.'))
        return proper;
    return {};
}

QString referralProblem(const Referral &referral)
{
    struct Check
    {
        const QString &value;
        QString placeholder;
        QString message;
    };
    const Check checks[] = {
        {referral.name, Placeholder::name(), QStringLiteral("Please Enter Your Name")},
        {referral.email, Placeholder::email(), QStringLiteral("Please Enter Your Email")},
        {referral.message, Placeholder::message(), QStringLiteral("Please Enter Your Message")},
        {referral.friendName, Placeholder::friendName(), QStringLiteral("Please Enter Your Friend's Name")},
        {referral.friendEmail, Placeholder::friendEmail(),
         QStringLiteral("Please Enter Your Friend's Email")},
    };
    for (const Check &check : checks)
        if (check.value.isEmpty() || check.value == check.placeholder)
            return check.message;
    return {};
}

QString referralAddress(const Referral &referral)
{
    // Every value is percent-encoded, taf6's folder address too: no "&", "=", "#", "+" or "%" can then end a
    // value or change its meaning, so decoding each value gives back exactly its text (for taf6 the folder
    // address with its "://" and slashes).
    const auto value = [](const QString &text) { return QString::fromLatin1(QUrl::toPercentEncoding(text)); };
    const QString site = QStringLiteral("http://") + Sites::mainHost();
    const QString folder = site + QStringLiteral("/zenor-free-lyrandel/");
    return site + QStringLiteral("/zenorms-refer-a-friend.php") + QStringLiteral("?taf1=") +
           value(referral.name) + QStringLiteral("&taf2=") + value(referral.email) +
           QStringLiteral("&taf3=") + value(referral.message) + QStringLiteral("&taf4=") +
           value(referral.friendName) + QStringLiteral("&taf5=") + value(referral.friendEmail) +
           QStringLiteral("&taf6=") + value(folder);
}

void SubmitReferral(QWidget *owner)
{
    const QString problem = referralProblem(ReferralData);
    if (!problem.isEmpty()) {
        MessageBoxes::critical(owner, problem);
        return;
    }
    ReferralData.url = referralAddress(ReferralData);
    modHelp::OpenWebPage(ReferralData.url);
}

} // namespace modTellAFriend
