#include "ZeltError.h"

EZeltError::EZeltError(QString message) { SetMessage(std::move(message)); }

EZeltError::~EZeltError() = default;

void EZeltError::SetMessage(QString message) {
    FMessage = std::move(message);
    FUtf8 = FMessage.toUtf8();
}
