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
    // Walks both chains side by side: comparing through underlyingError() would recurse for
    // ever on the null error that underlyingError() returns at the end of every chain.
    const ZrError *a = this;
    const ZrError *b = &other;
    for (;;) {
        if (a->m_domain != b->m_domain || a->m_code != b->m_code || a->m_description != b->m_description
            || a->m_failureReason != b->m_failureReason || a->m_userInfo != b->m_userInfo)
            return false;
        if (!a->m_underlying || !b->m_underlying)
            return !a->m_underlying && !b->m_underlying;
        a = a->m_underlying.data();
        b = b->m_underlying.data();
    }
}
