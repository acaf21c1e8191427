#pragma once

#include "ModeForms.h"

#include <QString>
#include <map>
#include <memory>

namespace verdan::test {

/// A mode form that only records what the pick-lists write into it.
struct RecordingForm : ModeFormFields {
    std::map<QString, QString> written;
    void setFieldText(const QString& control, const QString& text) override {
        written[control] = text;
    }
};

/// The two mode forms for pick-list tests; the point-to-point form can be left out.
struct RecordingForms : ModeForms {
    RecordingForm area;
    std::unique_ptr<RecordingForm> pointToPoint = std::make_unique<RecordingForm>();
    ModeFormFields& areaForm() override { return area; }
    ModeFormFields* pointToPointForm() override { return pointToPoint.get(); }
};

} // namespace verdan::test
