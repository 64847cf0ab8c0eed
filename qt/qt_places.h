#pragma once
// The program's folder and the user's documents folder, as the system names them.

#include "platform/places.h"

namespace zandrel {

class QtPlaces : public Places {
public:
    std::string programFolder() const override;
    std::string documentsFolder() const override;
};

}  // namespace zandrel
