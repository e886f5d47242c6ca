// fomWriter.h -- writes a ZnFom back out as one object-model document: an
// HLA Evolved (IEEE 1516-2010) module or an IEEE 1516-2000 FDD, so a model
// read from any of the supported formats can be handed on in either XML form.
//
//     ZnFom fom;
//     ZnFedReader13 reader;
//     reader.readFed("model.fed", &fom, 0, false, false);
//     std::string error;
//     if (!ZnWriteFomFile(fom, ZnFomFormat::Evolved2010, "model.xml", &error))
//         std::cerr << error << "\n";
//
// The document holds every table of the model the format has a place for,
// in the element order the format's schema (2010) or DTD (2000) demands, and
// names that schema or DTD: the 2010 module its namespace and the standard's
// published schema address, the 2000 FDD a document type "HLA.dtd". What the
// model does not keep (version, purpose) is left out or, where the format
// needs it, filled in: a module is named after the model's module(s),
// "Object model" when it has none. Attribute and parameter data types and
// the sharing and semantics of classes are written when `fom` is a
// ZnFomMerge, which keeps them; a plain ZnFom has no room for them.
//
// Left out, with a line on ZnWarn for each table that held something:
//   - both forms: HLA 1.3 routing spaces (and the space of a member);
//   - IEEE 1516-2000: update rates, module dependencies, the switches the
//     DTD lacks (conveyProducingFederate, exceptionReporting,
//     delaySubscriptionEvaluation, automaticResignAction) when they were set.
// The HLA 1.3 roots ObjectRoot and InteractionRoot are written under the
// names the IEEE 1516 readers demand, HLAobjectRoot and HLAinteractionRoot.
// Enumerators and record fields come out sorted by name, alternatives by
// enumerator: the model does not keep their order in the file.
//
// A write fails, with a message naming the offending entry and nothing
// written, when a value has no spelling in the format: a name that is no XML
// name token (2000) or no XML NCName (2010), text that is not UTF-8 or holds
// control characters, a tag or time entry the format does not list, a code
// out of its table (sharing, capability, transportation), a user
// transportation whose reliability the 2000 form cannot state, a data type
// record without the items the 2000 DTD requires.

#ifndef PXS_FOMWRITER_H
#define PXS_FOMWRITER_H

#include <iosfwd>
#include <string>

#include <pxs/fom.h>

enum class ZnFomFormat {
    Evolved2010,  // HLA Evolved FOM module (IEEE 1516-2010 DIF schema)
    Fdd2000       // IEEE 1516-2000 FDD (HLA.dtd)
};

// Writes `fom` as one document of `format` to `out`. False (with `error` set
// when it is not null) when the model holds something the format cannot
// express or the stream fails; nothing reaches `out` unless the whole
// document could be made.
bool ZnWriteFom(const ZnFom& fom, ZnFomFormat format, std::ostream& out, std::string* error);

// The same into the file `path`, which is replaced only by a complete
// document: the text goes to a temporary file beside it that is then renamed.
bool ZnWriteFomFile(const ZnFom& fom, ZnFomFormat format, const std::string& path,
                    std::string* error);

#endif
