#include "ModelChoices.h"

#include <algorithm>

namespace verdan {

namespace {

const QStringList& climateList() {
    static const QStringList items{QStringLiteral("Equatorial"),
                                   QStringLiteral("Continental Subtropical"),
                                   QStringLiteral("Maritime Tropical"),
                                   QStringLiteral("Desert"),
                                   QStringLiteral("Continental Temperate"),
                                   QStringLiteral("Maritime Temperate, Over Land"),
                                   QStringLiteral("Maritime Temperate, Over Sea")};
    return items;
}

const QStringList& variabilityList() {
    static const QStringList items{QStringLiteral("Single"), QStringLiteral("Individual"),
                                   QStringLiteral("Mobile"), QStringLiteral("Broadcast")};
    return items;
}

const QStringList& sitingList() {
    static const QStringList items{QStringLiteral("Random"), QStringLiteral("Careful"),
                                   QStringLiteral("Very Careful")};
    return items;
}

// Index of the trimmed text in `items` by exact, case-sensitive comparison; -1 when none.
int itemIndex(const QStringList& items, const QString& text) {
    return static_cast<int>(items.indexOf(text.trimmed()));
}

} // namespace

int ClimateCode(const QString& text) {
    return itemIndex(climateList(), text) + 1;
}

int VariabilityCode(const QString& text) {
    return std::max(itemIndex(variabilityList(), text), 0);
}

int SitingCode(const QString& text) {
    return std::max(itemIndex(sitingList(), text), 0);
}

QStringList climateItems() {
    return climateList();
}

QStringList variabilityItems() {
    return variabilityList();
}

QStringList sitingItems() {
    return sitingList();
}

} // namespace verdan
