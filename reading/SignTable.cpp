#include "reading/SignTable.h"

#include <iterator>

// Plain C strings so the table costs nothing at start-up; QStrings are made per look-up.

namespace {

static constexpr const char *kLetterNames[] = {
    "Alpha", "Beta",    "Gamma", "Delta", "Epsilon", "Zeta",    "Eta", "Theta", "Iota",
    "Kappa", "Lambda",  "Mu",    "Nu",    "Xi",      "Omicron", "Pi",  "Rho",   "Sigma",
    "Tau",   "Upsilon", "Phi",   "Khi",   "Psi",     "Omega",   "",
};

static constexpr const char *kKeywords[] = {
    "All",        "Helper",   "The Earth", "Power", "Aspiration",  "Tempest",    "Sun",
    "Gods",       "Worry",    "Waves",     "Left",  "Hard Work",   "Conflict",   "Wasted",
    "Endangered", "Numerous", "Simple",    "Basic", "Deliverance", "Enterprise", "Hasty",
    "Golden",     "Decision", "Complex",   "",
};

static constexpr const char *kPictureKeys[] = {
    "01alpha.jpg", "02beta.jpg",    "03gamma.jpg",   "04delta.jpg", "05epsilon.jpg", "06zeta.jpg",
    "07eta.jpg",   "08theta.jpg",   "09iota.jpg",    "10kappa.jpg", "11lambda.jpg",  "12mu.jpg",
    "13nu.jpg",    "14xi.jpg",      "15omicron.jpg", "16pi.jpg",    "17rho.jpg",     "18sigma.jpg",
    "19tau.jpg",   "20upsilon.jpg", "21phi.jpg",     "22khi.jpg",   "23psi.jpg",     "24omegae.jpg",
};

static constexpr const char *kInterpretations[] = {
    // 0 Alpha
    "This sign denotes the successful outcome of any project you begin during this time. New "
    "ventures are blessed, and a business opened now is likely to prosper. If you have been "
    "weighing an investment, the oracle suggests that the moment is kind to you. Act with "
    "confidence and a clear plan, and what you plant today will thrive.",
    // 1 Beta
    "You may feel puzzled and confused at this moment of your life. The paths ahead look "
    "alike and none of them seems clearly right. Yet you are not alone, for Apollo, the sun "
    "god, offers his light to those who ask for it. Help will come from an unexpected quarter "
    "and the fog will lift. Still, the oracle can only show the way; the choice remains "
    "yours, and yours alone.",
    // 2 Gamma
    "This is a good sign for farmers and agriculturists. The seeds you sowed with patience "
    "are ripening, and the fields promise a rich harvest. More broadly, the oracle says that "
    "past hard work is about to be rewarded, whatever your own trade. Gather what is yours "
    "with gratitude, and set some aside for the leaner seasons yet to come.",
    // 3 Delta
    "You must realize the value of time, one of the most important determiners of the "
    "universe. What fails today may succeed tomorrow simply because the hour is right. Be "
    "pragmatic: look at things as they are, not as you wish them to be. Keep your mind open "
    "to new ideas, even those that seem strange at first, for one of them may be the very key "
    "you need to open the door before you.",
    // 4 Epsilon
    "There are chances that cupid will favor you this time. Love may enter your life, or a "
    "bond you already share may grow stronger. If marriage has been on your mind, the signs "
    "are bright. Partnerships of every kind, at home or at work, are well starred, and some "
    "may soon welcome a child. So open your heart and let warmth flow in.",
    // 5 Zeta
    "There can be some kind of obstacle in your path and you would find it difficult to face "
    "that. A storm is gathering, and it is wiser to shelter than to press on. This is not a "
    "time to travel or to begin long journeys. Wait patiently until the winds have calmed and "
    "the sky is clear, then go forward.",
    // 6 Eta
    "This oracle sign signifies sun, the most important luminary and the center of our solar "
    "system. Its light reaches the psyche too, bringing clarity, health, and good cheer. Yet "
    "bright light casts sharp shadows, so guard against deceit from those who flatter you and "
    "hide their true aims from you.",
    // 7 Theta
    "You would be assisted by divine powers in your way. Whether you set out on a real "
    "journey or walk a spiritual path, unseen hands will guide and protect you. Trust the "
    "signs you meet along the road, and give thanks for the help you receive. You are being "
    "watched over, so go forward in peace.",
    // 8 Iota
    "This oracle emphasizes the vitality of hard-work above all other means to attain your "
    "desired end in life. Luck may come and go, but steady effort stays with you. Like the "
    "farmer who told his sons of a treasure buried in the vineyard, you will find that the "
    "digging itself is the real treasure. Keep working, day by day, and your rewards will "
    "follow.",
    // 9 Kappa
    "The oracle puts forth the might of sea waves in stormy weather. Turmoil surrounds you, "
    "and trying to sail against it now would only tire you out. Wise sailors stay in harbor "
    "until the sea grows calm. Use this time to mend your nets and prepare your boat. When "
    "the right moment comes, you will know it, and you'll set out with a fair wind behind you "
    "and a calm sea ahead to bring you home.",
    // 10 Lambda
    "The oracle, in metaphorical language tries to explain the complex and favorable "
    "attribute of the left side. Something that looks like a misfortune at first may turn out "
    "to be a blessing. Do not judge events too quickly. Listen to your instinct, for it knows "
    "more than your reason does right now, and follow where it leads you with a steady heart.",
    // 11 Mu
    "This is a time to be proactive and diligent. The work before you is heavy, and at times "
    "you may feel weary and worn. Do not give in to that weariness. Each task finished brings "
    "you closer to rest, and the effort will not be wasted. Keep hope alive; it is the lamp "
    "that lights the way.",
    // 12 Nu
    "This oracle points toward an imminent strife or dispute. Be careful with gifts, given or "
    "received, for one might become an apple of discord, as the golden apple once set "
    "goddesses against each other. Choose your words with care, keep your temper, and do not "
    "take sides in quarrels that are not yours. Let it pass.",
    // 13 Xi
    "Do not frustrate yourself by putting unnecessary efforts. Some doors will not open, "
    "however hard you push, and some hopes were never realistic to begin with. Look honestly "
    "at what you now expect and ask whether it can ever be. Letting go of a futile struggle "
    "is not defeat; it frees your strength for something truly worthwhile and within reach.",
    // 14 Omicron
    "Are you keeping your fingers crossed for huge gain? The oracle warns that wishing alone "
    "will bring nothing. Gain without effort is a dream, and windfalls are rare. If you want "
    "a good outcome, plan carefully, work steadily, and be ready to change. Fortune favors "
    "those who have prepared the ground for it with patience and care.",
    // 15 Pi
    "The oracle signifies the need for struggle and competition to prove someone's true "
    "worth. Gold is tested in fire, and so are you. Do not shy away from rivals or hardship. "
    "Persist, learn from each setback and keep going even when the road is steep. Those who "
    "endure are the ones who reach the top at last.",
    // 16 Rho
    "You can be in a fix regarding your future and career. Two roads lie ahead, and both have "
    "their own merits. Rushing into action without thought may lead you astray, yet thinking "
    "without ever acting leads nowhere at all. Seek a balance between doing and reflecting. "
    "Take a small step, see how it feels, and let the answer grow clearer with every passing "
    "day.",
    // 17 Sigma
    "The oracle suggests inaction for you at this moment. This is not the time to make bold "
    "moves or big changes. Hold your ground, keep what you have, and watch how things unfold "
    "around you. Patience is also a form of strength. When the time is ripe, the way forward "
    "will show itself, and you will be well rested and ready to take it.",
    // 18 Tau
    "Separation and detachment is on the cards for you. You may part from someone, or leave a "
    "place you know well for new surroundings. It may hurt at first, but release brings its "
    "own kind of freedom. Let go gently, keep the good memories close, and walk on with an "
    "open heart. New places are waiting.",
    // 19 Upsilon
    "The oracle represents ambitious plans with some intrinsic noble elements in it. You may "
    "be dreaming of something large, a project that could help many people and not just "
    "yourself. Such plans are worthy, but they draw attention, and envy or haste may disturb "
    "them. Guard your work, choose your helpers wisely, and build slowly on firm foundations "
    "that will endure.",
    // 20 Phi
    "You must shun reckless actions at any cost. Haste may lead you to a step you cannot take "
    "back. Think before you speak or act. If you have already stumbled, own your failings "
    "honestly rather than blaming others; that is the first and most important step toward "
    "putting things right once again.",
    // 21 Khi
    "The oracle predicts the possibility of a chance coming your way. You may meet an old "
    "friend you have not seen in years, or cross paths with an influential person who can "
    "open doors for you. Be friendly and attentive, for such meetings are rarely an accident. "
    "Keep your eyes open and seize the moment, for it may not come again.",
    // 22 Psi
    "If you have a question in your mind regarding some proceeding or legal matters, you can "
    "expect fairness and impartial judgment. Justice will be done, but remember that a fair "
    "verdict is not always the one you hoped for. Accept it with grace, whichever way it "
    "falls, and take what lessons it offers. The scales weigh truly, even when it hurts.",
    // 23 Omega
    "The oracle bears some bad news for farmers and agriculturists. The harvest may be poor "
    "this season, and what you reap may fall short of what you sowed. Do not despair. Seasons "
    "turn, and the soil that fails you now may give richly next year. Be patient, spend with "
    "care, help your neighbors, and wait for better days.",
    // 24 is the unused spare entry
    "",
};

static_assert(std::size(kLetterNames) == SignTable::kEntryCount);
static_assert(std::size(kKeywords) == SignTable::kEntryCount);
static_assert(std::size(kInterpretations) == SignTable::kEntryCount);
static_assert(std::size(kPictureKeys) == SignTable::kSignCount);

std::optional<QString> entry(const char *const (&column)[SignTable::kEntryCount], int index)
{
    if (index < 0 || index >= SignTable::kEntryCount)
        return std::nullopt;
    return QString::fromLatin1(column[index]);
}

} // namespace

std::optional<QString> SignTable::letterName(int index)
{
    return entry(kLetterNames, index);
}

std::optional<QString> SignTable::keyword(int index)
{
    return entry(kKeywords, index);
}

std::optional<QString> SignTable::interpretation(int index)
{
    return entry(kInterpretations, index);
}

std::optional<QString> SignTable::pictureKey(int position)
{
    // Picture positions count from 1, unlike sign indices.
    if (position < 1 || position > kSignCount)
        return std::nullopt;
    return QString::fromLatin1(kPictureKeys[position - 1]);
}
