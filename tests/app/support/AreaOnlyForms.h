#pragma once

#include "FrmUAMModel.h"

namespace verdan::test {

/// The mode forms as the area form's pick-lists see them: the area form, no point-to-point.
struct AreaOnlyForms : ModeForms {
    FrmUAMModel* area = nullptr;
    ModeFormFields& areaForm() override { return *area; }
    ModeFormFields* pointToPointForm() override { return nullptr; }
};

} // namespace verdan::test
