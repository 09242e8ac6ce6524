#pragma once

#include "view/model/ViewTransform.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace viewmodel {

// The patient and study values a frame's default annotations show; none or
// empty where the file gives nothing.
struct CaptionValues {
    std::optional<std::string> patientName;
    std::optional<std::string> patientSex;
    std::optional<std::string> birthDate;
    std::optional<std::string> patientId;
    std::optional<std::string> studyId;
    std::optional<std::string> studyDate;
};

struct PlacedText {
    std::string text;
    Point position;
    friend bool operator==(const PlacedText&, const PlacedText&) = default;
};

// The size a text takes in the annotation font at zoom 1.
using MeasureText = std::function<Size(std::string_view)>;

// The default annotations of one frame, two rows near its top-left corner:
// name, sex and birth date, then "PID:", "SID:" and "SD:" with the patient
// ID, study ID and study date. Each value is one text led by its separator,
// and starts where the previous text of its row ends; an empty value adds
// nothing.
std::vector<PlacedText> defaultAnnotationLayout(const CaptionValues& values, const MeasureText& measure);

} // namespace viewmodel
