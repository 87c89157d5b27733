#include "PdfBuilder.h"

#include <memory>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <string>

#include "ContentStream.h"

namespace pdfwriter {

namespace {

using Handle = QPDFObjectHandle;

Handle real(double value, int decimals) {
    return Handle::newReal(pdfNumber(value, decimals));
}

Handle numberArray(std::initializer_list<double> values) {
    Handle array = Handle::newArray();
    for (const double v : values) {
        array.appendItem(real(v, 4));
    }
    return array;
}

// A name object for any colorant name. qpdf escapes delimiters and bytes
// outside printable ASCII when writing, but takes "#" as the start of an
// escape already made; a literal "#" is therefore escaped here.
Handle colorantName(const std::string& name) {
    std::string escaped = "/";
    for (const char c : name) {
        escaped += c == '#' ? std::string("#23") : std::string(1, c);
    }
    return Handle::newName(escaped);
}

// [/DeviceN [names] /DeviceCMYK tintTransform] with a type 4 function.
Handle deviceNSpace(QPDF& pdf, const ColorModel& model) {
    Handle names = Handle::newArray();
    Handle domain = Handle::newArray();
    for (const std::string& name : model.colorantNames()) {
        names.appendItem(colorantName(name));
        domain.appendItem(Handle::newInteger(0));
        domain.appendItem(Handle::newInteger(1));
    }
    Handle function = pdf.makeIndirectObject(Handle::newStream(&pdf, model.tintTransformProgram()));
    Handle dict = function.getDict();
    dict.replaceKey("/FunctionType", Handle::newInteger(4));
    dict.replaceKey("/Domain", domain);
    dict.replaceKey("/Range", Handle::parse("[0 1 0 1 0 1 0 1]"));

    Handle space = Handle::newArray();
    space.appendItem(Handle::newName("/DeviceN"));
    space.appendItem(names);
    space.appendItem(Handle::newName("/DeviceCMYK"));
    space.appendItem(function);
    return space;
}

Handle labSpace() {
    return Handle::parse("[/Lab << /WhitePoint [0.9642 1 0.8249] /Range [-128 127 -128 127] >>]");
}

Handle resources(QPDF& pdf, const ColorModel& model) {
    Handle font = pdf.makeIndirectObject(Handle::parse(
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>"));
    Handle fonts = Handle::newDictionary();
    fonts.replaceKey("/F1", font);
    Handle dict = Handle::newDictionary();
    dict.replaceKey("/Font", fonts);
    Handle space;
    if (model.space() == Space::DeviceN) {
        space = deviceNSpace(pdf, model);
    } else if (model.space() == Space::Lab) {
        space = labSpace();
    }
    if (space.isInitialized()) {
        Handle spaces = Handle::newDictionary();
        spaces.replaceKey("/CS0", pdf.makeIndirectObject(space));
        dict.replaceKey("/ColorSpace", spaces);
    }
    return pdf.makeIndirectObject(dict);
}

// Writes a page's content straight into qpdf's compressing pipeline while
// the document is written, so the page's text never exists whole.
class PageContent : public QPDFObjectHandle::StreamDataProvider {
  public:
    PageContent(const Page& page, const ColorModel& model) : page_(page), model_(model) {}
    using StreamDataProvider::provideStreamData;
    void provideStreamData(QPDFObjGen const& /*object*/, Pipeline* pipeline) override {
        writeContentStream(page_, model_, [pipeline](const std::string& part) {
            pipeline->write(reinterpret_cast<const unsigned char*>(part.data()), part.size());
        });
        pipeline->finish();
    }

  private:
    const Page& page_;
    const ColorModel& model_;
};

Handle contentStreamObject(QPDF& pdf, const Page& page, const ColorModel& model) {
    Handle stream = Handle::newStream(&pdf);
    stream.replaceStreamData(std::make_shared<PageContent>(page, model), Handle::newNull(),
                             Handle::newNull());
    return stream;
}

Handle pageObject(QPDF& pdf, const Page& page, const ColorModel& model, const Handle& shared) {
    Handle dict = Handle::newDictionary();
    dict.replaceKey("/Type", Handle::newName("/Page"));
    dict.replaceKey("/MediaBox", numberArray({0.0, 0.0, page.widthMm * kPointsPerMm,
                                              page.heightMm * kPointsPerMm}));
    dict.replaceKey("/Resources", shared);
    dict.replaceKey("/Contents", contentStreamObject(pdf, page, model));
    // The layout's page code, passed on for a printer workflow.
    dict.replaceKey("/OrvoPageCode", Handle::newInteger(page.code));
    return pdf.makeIndirectObject(dict);
}

}  // namespace

void writePdf(const Document& document, std::FILE* out) {
    QPDF pdf;
    pdf.emptyPDF();
    const Handle shared = resources(pdf, document.model());
    QPDFPageDocumentHelper pages(pdf);
    for (const Page& page : document.pages()) {
        pages.addPage(QPDFPageObjectHelper(pageObject(pdf, page, document.model(), shared)), false);
    }
    if (!document.commandText().empty()) {
        Handle info = Handle::newDictionary();
        info.replaceKey("/Keywords", Handle::newUnicodeString(document.commandText()));
        pdf.getTrailer().replaceKey("/Info", pdf.makeIndirectObject(info));
    }
    QPDFWriter writer(pdf);
    writer.setOutputFile("chart document", out, false);
    writer.setDeterministicID(true);
    writer.write();
}

}  // namespace pdfwriter
