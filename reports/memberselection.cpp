#include "memberselection.h"

#include "platform/inifile.h"
#include "platform/text.h"

#include <algorithm>

namespace {
const QString kMembersKey = QStringLiteral("Members");
const QString kStatusKey = QStringLiteral("Status");
const QString kFromKey = QStringLiteral("FromAccount");
const QString kToKey = QStringLiteral("ToAccount");
const QString kOrderKey = QStringLiteral("SortBy");
const QString kAll = QStringLiteral("All");
const QStringList kStatusWords{QStringLiteral("Open"), QStringLiteral("Closed"), QStringLiteral("Both")};
const QStringList kOrderWords{QStringLiteral("Name"), QStringLiteral("Account"), QStringLiteral("ZIP")};

const QString kNoLocal = QStringLiteral("Enter the number of the local whose members to take.");
const QString kBadRange =
    QStringLiteral("The first account number of the range is higher than the last.");

const QString kAllMembers = QStringLiteral("All Members");
const QString kLocal = QStringLiteral("Local %1");
const QStringList kStatusTexts{QStringLiteral("Open Accounts"), QStringLiteral("Closed Accounts"),
                               QStringLiteral("Open and Closed Accounts")};
const QString kFromTo = QStringLiteral("Accounts %1 to %2");
const QString kFrom = QStringLiteral("Accounts from %1");
const QString kTo = QStringLiteral("Accounts to %1");
const QStringList kOrderTexts{QStringLiteral("By Name"), QStringLiteral("By Account Number"),
                              QStringLiteral("By ZIP Code")};
const QString kJoin = QStringLiteral(" - ");

QString upperName(const MemberCU &m) { return clip(m.LASTNAME).toUpper() + '\t' + clip(m.FIRSTNAME).toUpper(); }
} // namespace

bool MemberSelection::accepts(const MemberCU &mem) const {
    if (oneLocal && mem.LOCALCODE != LOCALCODE) return false;
    if (status == Status::Open && mem.DATECLOSED != 0) return false;
    if (status == Status::Closed && mem.DATECLOSED == 0) return false;
    if (FROMACCT != 0 && mem.ACCTNUM < FROMACCT) return false;
    if (TOACCT != 0 && mem.ACCTNUM > TOACCT) return false;
    return true;
}

QString MemberSelection::describe() const {
    QStringList parts{oneLocal ? kLocal.arg(LOCALCODE) : kAllMembers, kStatusTexts[int(status)]};
    if (FROMACCT != 0 && TOACCT != 0) parts << kFromTo.arg(FROMACCT).arg(TOACCT);
    else if (FROMACCT != 0) parts << kFrom.arg(FROMACCT);
    else if (TOACCT != 0) parts << kTo.arg(TOACCT);
    parts << kOrderTexts[int(order)];
    return parts.join(kJoin);
}

QString MemberSelection::problem() const {
    if (oneLocal && LOCALCODE <= 0) return kNoLocal;
    if (FROMACCT != 0 && TOACCT != 0 && FROMACCT > TOACCT) return kBadRange;
    return {};
}

void MemberSelection::load(const IniFile &ini, const QString &section) {
    const QString members = ini.value(section, kMembersKey, kAll);
    bool ok = false;
    const int local = members.toInt(&ok);
    oneLocal = ok && local > 0;
    LOCALCODE = oneLocal ? local : 0;
    const int s = kStatusWords.indexOf(ini.value(section, kStatusKey, kStatusWords[0]));
    status = s < 0 ? Status::Open : Status(s);
    FROMACCT = qMax(0, ini.value(section, kFromKey, QStringLiteral("0")).toInt());
    TOACCT = qMax(0, ini.value(section, kToKey, QStringLiteral("0")).toInt());
    const int o = kOrderWords.indexOf(ini.value(section, kOrderKey, kOrderWords[0]));
    order = o < 0 ? Order::Name : Order(o);
}

void MemberSelection::store(IniFile &ini, const QString &section) const {
    ini.setValue(section, kMembersKey, oneLocal ? QString::number(LOCALCODE) : kAll);
    ini.setValue(section, kStatusKey, kStatusWords[int(status)]);
    ini.setValue(section, kFromKey, QString::number(FROMACCT));
    ini.setValue(section, kToKey, QString::number(TOACCT));
    ini.setValue(section, kOrderKey, kOrderWords[int(order)]);
}

MemberWalk::MemberWalk(storage::DataFile<MemberCU> &mem, const MemberSelection &selection)
    : m_mem(mem), m_sel(selection) {}

void MemberWalk::position() {
    m_mem.clear();
    const bool local = m_sel.oneLocal;
    m_mem.rec.LOCALCODE = m_sel.LOCALCODE;
    m_mem.rec.ACCTNUM = m_sel.FROMACCT;
    if (m_sel.order == MemberSelection::Order::Name) {
        m_key = local ? MemberCU::LocalName_Key : MemberCU::Name_Key;
        if (local) m_mem.set(m_key, 1);
        else m_mem.setStart(m_key);
    } else {
        // ZIP order reads by account too: the range then bounds the reading.
        m_key = local ? MemberCU::LocalAcct_Key : MemberCU::AcctNum_Key;
        m_mem.set(m_key, local ? 2 : 1);
    }
}

bool MemberWalk::read() {
    if (!m_mem.next()) {
        m_failed = m_mem.failed();
        return false;
    }
    ++m_examined;
    const bool local = m_sel.oneLocal;
    if (local && m_mem.rec.LOCALCODE != m_sel.LOCALCODE) return false;
    const bool byAccount = m_key.index == MemberCU::AcctNum_Key.index ||
                           m_key.index == MemberCU::LocalAcct_Key.index;
    if (byAccount && m_sel.TOACCT != 0 && m_mem.rec.ACCTNUM > m_sel.TOACCT) return false;
    return true;
}

bool MemberWalk::loadSorted() {
    while (read())
        if (m_sel.accepts(m_mem.rec)) m_sorted << m_mem.rec;
    if (m_failed) return false;
    std::stable_sort(m_sorted.begin(), m_sorted.end(), [](const MemberCU &a, const MemberCU &b) {
        const QString za = clip(a.ZIP), zb = clip(b.ZIP);
        if (za != zb) return za < zb;
        const QString na = upperName(a), nb = upperName(b);
        if (na != nb) return na < nb;
        return a.ACCTNUM < b.ACCTNUM;
    });
    return true;
}

bool MemberWalk::next() {
    if (m_state == State::Done) return false;
    if (m_state == State::Unset) {
        position();
        m_state = State::Walking;
        if (m_sel.order == MemberSelection::Order::Zip) {
            if (!loadSorted()) {
                m_state = State::Done;
                return false;
            }
            m_state = State::Sorted;
        }
    }
    if (m_state == State::Sorted) {
        if (m_nextSorted >= m_sorted.size()) {
            m_state = State::Done;
            return false;
        }
        m_mem.rec = m_sorted[m_nextSorted++];
        return true;
    }
    while (read())
        if (m_sel.accepts(m_mem.rec)) return true;
    m_state = State::Done;
    return false;
}
