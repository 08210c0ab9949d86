#ifndef ZRHTTPREQUESTERROR_H
#define ZRHTTPREQUESTERROR_H

#include "support/zrerror.h"

#include <QFileDevice>
#include <QString>

// The HTTP request library's error domain and codes, also used by gzip, forms,
// queues and the request service.
extern const char *const ZRHTTPRequestErrorDomain;

enum ZRNetworkErrorType {
    ZRConnectionFailureErrorType = 1,
    ZRRequestTimedOutErrorType = 2,
    ZRAuthenticationErrorType = 3,
    ZRRequestCancelledErrorType = 4,
    ZRUnableToCreateRequestErrorType = 5,
    ZRInternalErrorWhileBuildingRequestType = 6,
    ZRInternalErrorWhileApplyingCredentialsType = 7,
    ZRFileManagementError = 8,
    ZRTooMuchRedirectionErrorType = 9,
    ZRUnhandledExceptionError = 10,
    ZRCompressionError = 11
};

// An error of the request domain.
inline ZrError zrRequestError(int code, const QString &description, const ZrError &underlying = ZrError())
{
    return ZrError(ZRHTTPRequestErrorDomain, code, description, underlying);
}

// Hands an error to an optional out-argument; false, for the caller's failed result.
inline bool zrSetError(ZrError *out, const ZrError &error)
{
    if (out)
        *out = error;
    return false;
}

// The file-system error behind a failed file operation, as an underlying error.
inline ZrError zrFileError(const QFileDevice &file)
{
    return ZrError("NSCocoaErrorDomain", static_cast<int>(file.error()), file.errorString());
}

#endif
