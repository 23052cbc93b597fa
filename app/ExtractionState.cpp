#include "app/ExtractionState.h"

namespace harvina {

ExtractionState& GlobalExtractionState()
{
    static ExtractionState state;
    return state;
}

} // namespace harvina
