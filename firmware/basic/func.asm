* func.asm: the numeric functions and the function table.
*
* A function's handler is entered with Y past its token and leaves its
* result as the value (eval.asm). Table order is the token order from T_SGN.
* Functions of the number package get a float argument with FPREC set.

functab FDB fnsgn,fnint,fnabs,fnfre,fnpos,fnsqr,fnrnd,fnlog,fnexp,fncos
        FDB fnsin,fntan,fnatn,fnpeek,fnlen,fnstr,fnval,fnasc,fnchr,fnleft
        FDB fnright,fnmid,fncint,fncsng,fncdbl,fnfix,fnhex,fnoct,fnspace
        FDB fnstrg,fninstr,fninkey,fninps,fnvarp,fnusr,fnerr,fnerl
        FDB fnpoint,fncsrln,fnscrn,fndskf

fnsgn   JSR parnum
        LDA <VALTYP
        CMPA #2
        BNE .f
        LDD <IVAL
        BEQ .z
        BMI .m
        LDD #1
        JMP setint
.m      LDD #-1
.z      JMP setint
.f      JSR fp_sgn
        SEX
        JMP setint

fnint   LDX #fp_int
        BRA intfix
fnfix   LDX #fp_fix
intfix  PSHS X
        JSR parnum
        PULS X
        LDA <VALTYP
        CMPA #2
        BEQ .r
        STA <FPREC
        JMP ,X
.r      RTS

fnabs   JSR parnum
        LDA <VALTYP
        CMPA #2
        BNE .f
        LDD <IVAL
        BPL .r
        JMP negate
.r      RTS
.f      JMP fp_abs

* FRE(x): free bytes; FRE("") collects the garbage first.
fnfre   JSR needlp
        JSR eval
        JSR needrp
        LDA <VALTYP
        CMPA #3
        BNE .n
        LDX <SDESC
        JSR frestr
        JSR garbag
.n      LDD <FRETOP
        SUBD <STREND
uintval JSR fp_fromuint
        LDA #4
        STA <VALTYP
        STA <FPREC
        RTS

fnpos   JSR parnum
        LDB <POSN
        INCB
        CLRA
        JMP setint

* mathfn: the value as a float, then the routine at X; its errors raised.
mathfn  PSHS X
        JSR parnum
        JSR tofloat
        PULS X
        JSR ,X
        LBCS error
        RTS
fnsqr   LDX #fp_sqr
        BRA mathfn
fnlog   LDX #fp_log
        BRA mathfn
fnexp   LDX #fp_exp
        BRA mathfn
fncos   LDX #fp_cos
        BRA mathfn
fnsin   LDX #fp_sin
        BRA mathfn
fntan   LDX #fp_tan
        BRA mathfn
fnatn   LDX #fp_atn
        BRA mathfn

* RND, RND(x): a single in [0,1).
fnrnd   JSR peek
        CMPA #'('
        BEQ .arg
        LDD #1
        JSR setint
        BRA .go
.arg    JSR parnum
.go     JSR tofloat
        LDA #4
        STA <FPREC
        STA <VALTYP
        JMP fp_rnd

fnpeek  JSR needlp
        JSR getadr
        JSR needrp
        TFR D,X
        LDB ,X
        CLRA
        JMP setint

fncint  JSR parnum
        JSR toint
        JMP setint

fncsng  JSR parnum
        JSR tofloat
        LDA #4
        STA <VALTYP
        STA <FPREC
        LDX #NUMBUF
        JSR fp_sts
        LBCS error
        LDX #NUMBUF
        JMP fp_lds

fncdbl  JSR parnum
        JSR tofloat
        LDA #8
        STA <VALTYP
        STA <FPREC
        RTS

* VARPTR(var): the address of its value.
fnvarp  JSR needlp
        LDA #1
        STA <SUBFLG
        JSR getvar
        JSR needrp
        TFR X,D
        JMP setint

* USR(x): the routine DEF USR set, called with D = x (an integer); it
* returns its result in D.
fnusr   JSR parnum
        JSR toint
        LDX <USRADR
        LBEQ fcerr
        PSHS Y,U
        JSR ,X
        PULS Y,U
        PSHS A
        LDA #$70
        TFR A,DP
        PULS A
        JMP setint

fnerr   LDB <ERRNUM
        CLRA
        JMP setint

fnerl   LDD <ERRLIN
        BMI .u
        JMP setint
.u      JMP uintval

* adrval: the value as an address 0..65535 -> D.
adrval  JSR chknum
        LDA <VALTYP
        CMPA #2
        BNE .f
        LDD <IVAL
        RTS
.f      JSR fp_touint
        LBCS fcerr
        RTS
