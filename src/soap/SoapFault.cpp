#include "SoapFault.h"

ERemotableException::ERemotableException(QString message) : EZeltError(std::move(message)) {}

ERemotableException::~ERemotableException() = default;
