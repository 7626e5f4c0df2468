// The one error type of gaugehost's drawing: a one-line message naming what was wrong.
#pragma once

#include <stdexcept>
#include <string>

namespace gaugehost::render {

class RenderError : public std::runtime_error {
public:
    explicit RenderError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace gaugehost::render
