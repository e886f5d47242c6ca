// register.h -- host variables bound to PXS symbols. A registration record
// ties one host variable to a symbol of a frame; copying runs both ways with
// the conversions of the variable's type, and a frame owns (and deletes,
// through the virtual destructor) every record registered with it.
//
//   int depth = 3;
//   ZncRegister("depth", &depth, frame, frame->params());  // depth bound to 3
//   ... a script runs (setq depth 7) ...
//   ZncLispToC(frame->params());                           // depth == 7

#ifndef PXS_REGISTER_H
#define PXS_REGISTER_H

#include <pxs/memory.h>
#include <util/znList.h>

class ZnString;

// Base of every registration record: the variable's name (an owned copy),
// its symbol (set at registration) and the frame it is registered in. The
// frame is held by reference to the caller's handle, which must outlive the
// record.
class ZncParam {
public:
    ZncParam(const char* name, const ZnlObjPtr& frame);
    ZncParam(const ZncParam&) = delete;
    ZncParam& operator=(const ZncParam&) = delete;
    virtual ~ZncParam();

    // A new PXS object holding the kind's default (0.0, 0 or "").
    virtual ZnlObjPtr newValObj() = 0;
    // Copies the host value into PXS.
    virtual void c2lisp() = 0;
    // Copies the PXS value into the host variable, when it has the right kind.
    virtual void lisp2c() = 0;
    // A new text (release it with delete[]) showing the current PXS value.
    virtual char* eval2str() = 0;

    char* name;
    ZnlObjPtr symbol;
    const ZnlObjPtr& frame;
};

// Records whose PXS value is a float.
class ZncLispDouble : public ZncParam {
public:
    using ZncParam::ZncParam;
    ZnlObjPtr newValObj() override;
    char* eval2str() override;
    // 1 and the value in *out when the symbol holds a number, else 0.
    int getLisp(double* out);
    void setLisp(double value);
};

// Records whose PXS value is an integer.
class ZncLispInt : public ZncParam {
public:
    using ZncParam::ZncParam;
    ZnlObjPtr newValObj() override;
    char* eval2str() override;
    int getLisp(int* out);
    void setLisp(int value);
};

// Records whose PXS value is a string.
class ZncLispString : public ZncParam {
public:
    using ZncParam::ZncParam;
    ZnlObjPtr newValObj() override;
    char* eval2str() override;
    // Stores a pointer to the PXS string's own text, not a copy.
    int getLisp(char** out);
    void setLisp(const char* value);
};

// One record class per host type. Each holds the variable's address, which
// it does not own.
class ZncUserFloat : public ZncLispDouble {
public:
    ZncUserFloat(const char* name, float* address, const ZnlObjPtr& frame)
        : ZncLispDouble(name, frame), address_(address) {}
    void c2lisp() override;
    void lisp2c() override;

private:
    float* address_;
};

class ZncUserDouble : public ZncLispDouble {
public:
    ZncUserDouble(const char* name, double* address, const ZnlObjPtr& frame)
        : ZncLispDouble(name, frame), address_(address) {}
    void c2lisp() override;
    void lisp2c() override;

private:
    double* address_;
};

class ZncUserInt : public ZncLispInt {
public:
    ZncUserInt(const char* name, int* address, const ZnlObjPtr& frame)
        : ZncLispInt(name, frame), address_(address) {}
    void c2lisp() override;
    void lisp2c() override;

private:
    int* address_;
};

class ZncUserUlong : public ZncLispInt {
public:
    ZncUserUlong(const char* name, unsigned long* address, const ZnlObjPtr& frame)
        : ZncLispInt(name, frame), address_(address) {}
    void c2lisp() override;
    void lisp2c() override;

private:
    unsigned long* address_;
};

class ZncUserLong : public ZncLispInt {
public:
    ZncUserLong(const char* name, long* address, const ZnlObjPtr& frame)
        : ZncLispInt(name, frame), address_(address) {}
    void c2lisp() override;
    void lisp2c() override;

private:
    long* address_;
};

class ZncUserUint : public ZncLispInt {
public:
    ZncUserUint(const char* name, unsigned int* address, const ZnlObjPtr& frame)
        : ZncLispInt(name, frame), address_(address) {}
    void c2lisp() override;
    void lisp2c() override;

private:
    unsigned int* address_;
};

class ZncUserUshort : public ZncLispInt {
public:
    ZncUserUshort(const char* name, unsigned short* address, const ZnlObjPtr& frame)
        : ZncLispInt(name, frame), address_(address) {}
    void c2lisp() override;
    void lisp2c() override;

private:
    unsigned short* address_;
};

class ZncUserShort : public ZncLispInt {
public:
    ZncUserShort(const char* name, short* address, const ZnlObjPtr& frame)
        : ZncLispInt(name, frame), address_(address) {}
    void c2lisp() override;
    void lisp2c() override;

private:
    short* address_;
};

class ZncUserString : public ZncLispString {
public:
    ZncUserString(const char* name, char** address, const ZnlObjPtr& frame)
        : ZncLispString(name, frame), address_(address) {}
    void c2lisp() override;
    void lisp2c() override;

private:
    char** address_;
};

class ZncUserZnString : public ZncLispString {
public:
    ZncUserZnString(const char* name, ZnString* address, const ZnlObjPtr& frame)
        : ZncLispString(name, frame), address_(address) {}
    void c2lisp() override;
    void lisp2c() override;

private:
    ZnString* address_;
};

// Registers `param` in `frame`: the symbol gets the host value at once and
// the record joins the frame's own list (`list` is not consulted). Returns
// 1; when the name is already bound in `frame` itself, warns, deletes the
// record and returns 0.
int ZncRegister(ZncParam* param, const ZnlObjPtr& frame, ZnList<ZncParam>* list);
// Makes the record matching the variable's type and registers it as above.
int ZncRegister(const char* name, float* address, const ZnlObjPtr& frame, ZnList<ZncParam>* list);
int ZncRegister(const char* name, double* address, const ZnlObjPtr& frame, ZnList<ZncParam>* list);
int ZncRegister(const char* name, int* address, const ZnlObjPtr& frame, ZnList<ZncParam>* list);
int ZncRegister(const char* name, unsigned long* address, const ZnlObjPtr& frame,
                ZnList<ZncParam>* list);
int ZncRegister(const char* name, long* address, const ZnlObjPtr& frame, ZnList<ZncParam>* list);
int ZncRegister(const char* name, unsigned int* address, const ZnlObjPtr& frame,
                ZnList<ZncParam>* list);
int ZncRegister(const char* name, unsigned short* address, const ZnlObjPtr& frame,
                ZnList<ZncParam>* list);
int ZncRegister(const char* name, short* address, const ZnlObjPtr& frame, ZnList<ZncParam>* list);
int ZncRegister(const char* name, char** address, const ZnlObjPtr& frame, ZnList<ZncParam>* list);
int ZncRegister(const char* name, ZnString* address, const ZnlObjPtr& frame,
                ZnList<ZncParam>* list);

// c2lisp, or lisp2c, of every record in list order; a null list is ignored.
void ZncCToLisp(ZnList<ZncParam>* list);
void ZncLispToC(ZnList<ZncParam>* list);
// Removes every record from `list` and deletes it; a null list is ignored.
void ZncEmptyParamList(ZnList<ZncParam>* list);

// Typed reads of `name` in `frame`'s own bindings (parents are not
// searched): 1 and the value in *out when bound to an accepted kind (a
// number for double, an integer for int, a string for char*), else 0. A
// value of another kind warns on standard error while ZnNotifyLevel > 0.
int ZncSetIfBoundp(char* name, double* out, const ZnlObjPtr& frame);
int ZncSetIfBoundp(char* name, int* out, const ZnlObjPtr& frame);
int ZncSetIfBoundp(char* name, char** out, const ZnlObjPtr& frame);
// Binds `symbol` in `frame` to a new object holding `value`, unless it
// already holds an equal value of the same kind (which then keeps its
// identity). A null text is taken as "".
void ZncResetLisp(const ZnlObjPtr& symbol, double value, const ZnlObjPtr& frame);
void ZncResetLisp(const ZnlObjPtr& symbol, int value, const ZnlObjPtr& frame);
void ZncResetLisp(const ZnlObjPtr& symbol, const char* value, const ZnlObjPtr& frame);

// `print-registered`: writes "(setqb name value)" to ZnInfo for every
// record of the calling frame, in registration order. Returns nil.
ZnlObjPtr ZnlPrintRegistered(const ZnlObjPtr& args, const ZnlObjPtr& frame);

#endif
