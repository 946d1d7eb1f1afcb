#include "wizard/xml_scan.h"

#include <gtest/gtest.h>

#include "wizard/xml_reference.h"

namespace wiz {
namespace {

std::vector<std::wstring> Paths(const XmlDocument& document) {
    std::vector<std::wstring> paths;
    for (const XmlElement& element : document.elements) paths.push_back(element.path);
    return paths;
}

TEST(XmlScan, ListsElementsWithTheirPathsInDocumentOrder) {
    XmlDocument document = ScanXml(
        L"\xFEFF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<!-- a <comment> -->\n"
        L"<a x='1'><b/><c y=\"2\" z = '3' >text<d></d></c><b></b></a>\n<!-- end -->\n");
    ASSERT_EQ(document.error, L"");
    EXPECT_EQ(Paths(document), (std::vector<std::wstring>{L"a", L"a/b", L"a/c", L"a/c/d", L"a/b"}));
    EXPECT_EQ(*document.elements[0].Attribute(L"x"), L"1");
    EXPECT_EQ(*document.elements[2].Attribute(L"z"), L"3");
    EXPECT_EQ(document.elements[2].attributes.size(), 2u);
    EXPECT_EQ(document.elements[2].Attribute(L"Y"), nullptr);  // names are case-sensitive
}

TEST(XmlScan, ValuesHaveTheirReferencesResolvedAndWhiteSpaceMadeBlanks) {
    XmlDocument document = ScanXml(L"<a v=\"&lt;&amp;&gt;&quot;&apos;&#65;&#x42;&#x1F600;\" w='a\tb\r\nc' q='\"' />");
    ASSERT_EQ(document.error, L"");
    std::wstring smile;
    ASSERT_TRUE(AppendReference(L"#x1F600", smile));
    EXPECT_EQ(*document.elements[0].Attribute(L"v"), L"<&>\"'AB" + smile);
    EXPECT_EQ(*document.elements[0].Attribute(L"w"), L"a b  c");
    EXPECT_EQ(*document.elements[0].Attribute(L"q"), L"\"");
}

TEST(XmlScan, CharacterReferences) {
    std::wstring out;
    EXPECT_TRUE(AppendReference(L"#9", out));
    EXPECT_TRUE(AppendReference(L"#x10FFFF", out));
    EXPECT_EQ(out.substr(0, 1), L"\t");
    for (const wchar_t* bad : {L"", L"amp;", L"AMP", L"nbsp", L"#", L"#x", L"#0", L"#1", L"#xD800", L"#xFFFE", L"#x110000",
                               L"#12a", L"#xG", L"#99999999999999999999", L"# 65"})
        EXPECT_FALSE(AppendReference(bad, out)) << bad;
}

TEST(XmlScan, RefusesWhatIsNotWellFormedWithItsLine) {
    struct Case {
        const wchar_t* text;
        const wchar_t* error;
    };
    const Case cases[] = {
        {L"", L"line 1: there is no root element"},
        {L"<!-- only -->", L"line 1: there is no root element"},
        {L"<a>", L"line 1: element <a> is not closed"},
        {L"<a><b></a>", L"line 1: end tag </a> does not match <b>"},
        {L"<a></a></a>", L"line 1: end tag </a> has no start tag"},
        {L"<a/>\n<b/>", L"line 2: a second root element <b>"},
        {L"text<a/>", L"line 1: text outside the root element"},
        {L"<a/>text", L"line 1: text outside the root element"},
        {L"<a\nx=1/>", L"line 2: a quoted value expected"},
        {L"<a x='1' x='2'/>", L"line 1: attribute x appears twice"},
        {L"<a x/>", L"line 1: attribute x has no value"},
        {L"<a x='1'y='2'/>", L"line 1: white space, > or /> expected"},
        {L"<a x='<'/>", L"line 1: < in an attribute value"},
        {L"<a x='&bad;'/>", L"line 1: a bad character or entity reference"},
        {L"<a x='&amp'/>", L"line 1: a bad character or entity reference"},
        {L"<a x='1/>", L"line 1: an attribute value is not closed"},
        {L"<a x='1'", L"line 1: a tag is not closed"},
        {L"<1/>", L"line 1: a name expected"},
        {L"< a/>", L"line 1: a name expected"},
        {L"<a></ a>", L"line 1: a name expected"},
        {L"<a></a", L"line 1: end tag </a> is not closed"},
        {L"<!-- open", L"line 1: a comment is not closed"},
        {L"<?xml", L"line 1: a processing instruction is not closed"},
        {L"<!DOCTYPE a>\n<a/>", L"line 1: DOCTYPE and CDATA are not supported"},
        {L"<a><![CDATA[x]]></a>", L"line 1: DOCTYPE and CDATA are not supported"},
    };
    for (const Case& c : cases) {
        XmlDocument document = ScanXml(c.text);
        EXPECT_EQ(document.error, c.error) << c.text;
        EXPECT_TRUE(document.elements.empty()) << c.text;
    }
}

}  // namespace
}  // namespace wiz
