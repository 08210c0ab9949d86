#include "support/zrerror.h"

ZrError::ZrError(const QString &domain, int code, const QString &localizedDescription)
    : m_domain(domain), m_code(code), m_description(localizedDescription)
{
}

ZrError::ZrError(const QString &domain, int code, const QString &localizedDescription,
                 const ZrError &underlyingError, const QString &localizedFailureReason,
                 const QVariantMap &userInfo)
    : m_domain(domain),
      m_code(code),
      m_description(localizedDescription),
      m_failureReason(localizedFailureReason),
      m_userInfo(userInfo)
{
    if (!underlyingError.isNull())
        m_underlying = QSharedPointer<const ZrError>::create(underlyingError);
}

ZrError ZrError::underlyingError() const
{
    return m_underlying ? *m_underlying : ZrError();
}

bool ZrError::operator==(const ZrError &other) const
{
    return m_domain == other.m_domain && m_code == other.m_code && m_description == other.m_description
           && m_failureReason == other.m_failureReason && underlyingError() == other.underlyingError()
           && m_userInfo == other.m_userInfo;
}
