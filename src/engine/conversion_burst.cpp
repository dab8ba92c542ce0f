#include "engine/conversion_burst.h"

#include "app/application.h"

namespace skedora {

int RunConversionBurst(Application& app, std::chrono::milliseconds budget) {
    return app.RunConversionBurst(budget);
}

}  // namespace skedora
