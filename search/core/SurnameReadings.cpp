#include "search/core/SurnameReadings.h"

namespace SurnameReadings {

namespace {

struct Entry
{
    const char16_t *surname;
    const char *reading; // syllables separated by blanks
};

// Compound surnames, tried before single ones so 单于 is not read as 单.
const Entry kCompound[] = {
    {u"尉迟", "yu chi"},    {u"万俟", "mo qi"},     {u"单于", "chan yu"},    {u"长孙", "zhang sun"},
    {u"澹台", "tan tai"},   {u"令狐", "ling hu"},   {u"亓官", "qi guan"},    {u"鲜于", "xian yu"},
    {u"东方", "dong fang"}, {u"欧阳", "ou yang"},   {u"上官", "shang guan"}, {u"皇甫", "huang fu"},
    {u"宇文", "yu wen"},    {u"诸葛", "zhu ge"},    {u"司马", "si ma"},      {u"夏侯", "xia hou"},
    {u"公孙", "gong sun"},  {u"慕容", "mu rong"},   {u"呼延", "hu yan"},     {u"赫连", "he lian"},
    {u"闻人", "wen ren"},   {u"轩辕", "xuan yuan"}, {u"仲孙", "zhong sun"},  {u"乐正", "yue zheng"},
};

const Entry kSingle[] = {
    {u"单", "shan"}, {u"曾", "zeng"},  {u"解", "xie"},   {u"仇", "qiu"},   {u"朴", "piao"},  {u"区", "ou"},
    {u"查", "zha"},  {u"乐", "yue"},   {u"盖", "ge"},    {u"召", "shao"},  {u"缪", "miao"},  {u"覃", "qin"},
    {u"黑", "he"},   {u"秘", "bi"},    {u"翟", "zhai"},  {u"尹", "yin"},   {u"种", "chong"}, {u"隗", "wei"},
    {u"繁", "po"},   {u"员", "yun"},   {u"华", "hua"},   {u"任", "ren"},   {u"郇", "huan"},  {u"冼", "xian"},
    {u"折", "she"},  {u"逄", "pang"},  {u"阚", "kan"},   {u"句", "gou"},   {u"厍", "she"},   {u"能", "nai"},
    {u"牟", "mou"},  {u"宓", "mi"},    {u"卜", "bu"},    {u"薄", "bo"},    {u"柏", "bai"},   {u"宿", "su"},
    {u"沈", "shen"}, {u"贲", "ben"},   {u"訾", "zi"},    {u"谌", "chen"},  {u"眭", "sui"},   {u"蕃", "pi"},
    {u"洗", "xian"}, {u"燕", "yan"},   {u"纪", "ji"},    {u"相", "xiang"}, {u"曲", "qu"},    {u"车", "che"},
    {u"褚", "chu"},  {u"长", "chang"}, {u"重", "chong"}, {u"干", "gan"},   {u"佴", "nai"},   {u"朝", "chao"},
    {u"莘", "shen"}, {u"瞿", "qu"},    {u"粘", "nian"},  {u"过", "guo"},   {u"都", "du"},    {u"哈", "ha"},
    {u"那", "na"},   {u"应", "ying"},  {u"阿", "a"},     {u"石", "shi"},   {u"葛", "ge"},    {u"盛", "sheng"},
    {u"费", "fei"},  {u"藏", "zang"},  {u"蔚", "yu"},    {u"祭", "zhai"},
};

template <size_t N> Found find(const Entry (&entries)[N], QStringView name)
{
    for (const Entry &entry : entries) {
        const QStringView surname(entry.surname);
        if (name.startsWith(surname))
            return {surname.size(), QString::fromLatin1(entry.reading).split(u' ')};
    }
    return {};
}

} // namespace

Found at(QStringView name)
{
    if (Found compound = find(kCompound, name); compound.length > 0)
        return compound;
    return find(kSingle, name);
}

} // namespace SurnameReadings
