#pragma once

#include <QString>

namespace verdan {

/// A mode form whose parameter fields other screens (the pick-lists) fill in.
class ModeFormFields {
public:
    virtual ~ModeFormFields() = default;
    /// Sets the text of the field named `control` ("txtDH", "txtsgm", "txteps", "txtNs",
    /// "txtns", ...); a name the form does not have is ignored.
    virtual void setFieldText(const QString& control, const QString& text) = 0;
};

/// The two mode forms as the pick-lists see them. A form that is not open is loaded without
/// being shown (its load sequence runs); when the user opens it later in the same run it is
/// shown with the values set meanwhile, and its load sequence does not run again.
class ModeForms {
public:
    virtual ~ModeForms() = default;
    /// The area-mode form, loaded hidden when needed.
    virtual ModeFormFields& areaForm() = 0;
    /// The point-to-point form, loaded hidden when needed; nullptr while the program has none.
    virtual ModeFormFields* pointToPointForm() = 0;
};

} // namespace verdan
