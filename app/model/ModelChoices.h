#pragma once

#include <QString>
#include <QStringList>

namespace verdan {

/// The texts of the model's choices as the forms list them, and the codes the model takes for
/// them. An item's code is its index in its list, plus one for the climates.

/// List texts to model codes; a text that matches no item (after trimming, compared exactly)
/// gives 0.
int ClimateCode(const QString& text);
int VariabilityCode(const QString& text);
int SitingCode(const QString& text);

/// The items of the climate, variability and siting drop-down lists, in order.
QStringList climateItems();
QStringList variabilityItems();
QStringList sitingItems();

} // namespace verdan
