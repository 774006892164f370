* vars.asm: variables and arrays.
*
* A variable is known by the first two characters of its name and its type
* (A, A%, A$, A# are four variables). Simple variables: 11-byte entries from
* VARTAB: name (2, the second 0 for a one-letter name; a DEF FN function has
* bit 7 of the first set), type, value (8 bytes: integer 2, string
* descriptor 3, single 4, double 8). Arrays from ARYTAB: name (2), type,
* entry length (2), number of subscripts, then per subscript its count
* (bound + 1, 2 bytes), then the elements, each as long as its type code.
*
* Entry points:
*   getvar   the name at Y (with its subscripts). SUBFLG: 0 find (a simple
*            variable that does not exist reads as zero: X points at zeros),
*            1 find or create, $80 DIM. Returns X = the value, VARTYP = type;
*            Y past the name. Arrays are made with 11 elements per
*            subscript when first used.
*   getsvar  a string variable or element to be written (SUBFLG := 1):
*            X = its descriptor; Type mismatch for any other type.
*   assign   the value into the variable at X of type VARTYP (converted;
*            strings copied into string space unless they live in the
*            program text).
*   varname  the name at Y into VNAME, VARTYP (type from the suffix or the
*            DEF table), Y past it.
* Statements: DIM ERASE DEFINT DEFSNG DEFDBL DEFSTR LET SWAP.

zero8   FCB 0,0,0,0,0,0,0,0

varname JSR peek            ; (names are upper case once tokenized)
        CMPA #'A'
        LBLO snerr
        CMPA #'Z'
        LBHI snerr
        STA <VNAME
        CLR <VNAME+1
        LEAY 1,Y
.more   LDA ,Y
        CMPA #'0'
        BLO .suf
        CMPA #'9'
        BLS .ch
        CMPA #'A'
        BLO .suf
        CMPA #'Z'
        BHI .suf
.ch     LEAY 1,Y
        TST <VNAME+1
        BNE .more
        STA <VNAME+1
        BRA .more
.suf    LDB #2
        CMPA #'%'
        BEQ .t
        LDB #3
        CMPA #'$'
        BEQ .t
        LDB #4
        CMPA #'!'
        BEQ .t
        LDB #8
        CMPA #'#'
        BEQ .t
        LDA <VNAME
        SUBA #'A'
        LDX #DEFTBL
        LDB A,X
        BRA .st
.t      LEAY 1,Y
.st     STB <VARTYP
        RTS

getsvar LDA #1
        STA <SUBFLG
        BSR getvar
        LDA <VARTYP
        CMPA #3
        LBNE tmerr
        RTS

getvar  BSR varname
        LDA ,Y
        CMPA #'('
        LBEQ array
* findv: the simple variable VNAME/VARTYP.
findv   LDX <VARTAB
        LDD <VNAME
.s      CMPX <ARYTAB
        BHS .nf
        CMPD ,X
        BNE .n
        PSHS A
        LDA 2,X
        CMPA <VARTYP
        PULS A
        BEQ .found
.n      LEAX VARLEN,X
        BRA .s
.found  LEAX 3,X
        RTS
.nf     TST <SUBFLG
        BNE .make
        LDX #zero8
        RTS
.make   LDD <STREND          ; room for 11 more bytes below the strings
        ADDD #VARLEN
        CMPD <FRETOP
        BLO .room
        JSR garbag
        LDD <STREND
        ADDD #VARLEN
        CMPD <FRETOP
        LBHS omerr
.room   PSHS U
        LDX <ARYTAB          ; the arrays move up
        LEAU VARLEN,X
        LDD <STREND
        SUBD <ARYTAB
        JSR movup
        STU <ARYTAB
        PULS U
        LDD <STREND
        ADDD #VARLEN
        STD <STREND
        LDD <VNAME
        STD ,X
        LDA <VARTYP
        STA 2,X
        LEAX 3,X
        LDD #0
        STD ,X
        STD 2,X
        STD 4,X
        STD 6,X
        RTS

* array: VNAME/VARTYP with subscripts at Y ('('). Stack while the
* subscripts are read: 0-15 their values, 16 how many, 17 VARTYP, 18 SUBFLG,
* 19-20 VNAME (all kept over the subscripts' own expressions).
array   PSHS U
        LEAY 1,Y
        LDD <VNAME
        PSHS D
        LDB <SUBFLG
        LDA <VARTYP
        PSHS D
        CLRA
        PSHS A
        LEAS -16,S
.sub    JSR getint
        TSTA
        LBMI bserr
        STD <TMP1
        LDB 16,S
        CMPB #8
        LBHS bserr
        INC 16,S
        LSLB
        LEAX ,S
        ABX
        LDD <TMP1
        STD ,X
        JSR peek
        CMPA #','
        BNE .end
        LEAY 1,Y
        BRA .sub
.end    JSR needrp
        LDA 16,S
        STA <DIMCNT
        LDD 17,S
        STA <VARTYP
        STB <SUBFLG
        LDD 19,S
        STD <VNAME
        LDX <ARYTAB          ; find it
.f      CMPX <STREND
        BHS .nf
        LDD ,X
        CMPD <VNAME
        BNE .n
        LDA 2,X
        CMPA <VARTYP
        BEQ .found
.n      LDD 3,X
        LEAX D,X
        BRA .f
.nf     LEAU ,S
        JSR mkarr
        TST <SUBFLG
        BMI .done
        BRA .index
.found  TST <SUBFLG
        LBMI ddeerr
.index  LDA 5,X             ; X: the entry; S: the subscripts
        CMPA <DIMCNT
        LBNE bserr
        LEAU 6,X
        PSHS X
        LEAX 2,S
        LDD #0
        STD <TMP1           ; offset in elements
.ix     LDD ,X
        CMPD ,U
        LBHS bserr
        LDD <TMP1
        BEQ .z              ; (the first subscript: nothing to multiply)
        PSHS X
        LDX ,U
        JSR umul
        PULS X
.z      ADDD ,X++
        STD <TMP1
        LEAU 2,U
        DEC <DIMCNT
        BNE .ix
        LDD <TMP1           ; times the element size (2, 3, 4 or 8)
        LSLB
        ROLA
        PSHS B
        LDB <VARTYP
        CMPB #3
        PULS B
        BNE .s4
        ADDD <TMP1          ; 3: twice plus once
        BRA .sz
.s4     BLO .sz             ; 2: twice
        LSLB
        ROLA
        PSHS B
        LDB <VARTYP
        CMPB #8
        PULS B
        BNE .sz
        LSLB                ; 8
        ROLA
.sz     LEAX D,U            ; U: the first element
        LEAS 2,S
.done   LEAS 21,S
        PULS U,PC

* umul: D * X unsigned; more than 16 bits is Out of memory.
umul    PSHS D,X
        LDA ,S
        BEQ .a
        LDA 2,S
        LBNE omerr
.a      LDA 1,S
        LDB 3,S
        MUL
        STD <TMP3
        LDA ,S
        LDB 3,S
        MUL
        TSTA
        LBNE omerr
        ADDB <TMP3
        LBCS omerr
        STB <TMP3
        LDA 1,S
        LDB 2,S
        MUL
        TSTA
        LBNE omerr
        ADDB <TMP3
        LBCS omerr
        STB <TMP3
        LDD <TMP3
        LEAS 4,S
        RTS

* dimcnt: D := the count of subscript U (bound + 1 for DIM, else 11); U moves.
dimcnt  LDD #11
        TST <SUBFLG
        BPL .r
        LDD ,U
        ADDD #1
.r      LEAU 2,U
        RTS

* mkarr: a new array VNAME/VARTYP with DIMCNT subscripts at U. X := it.
mkarr   PSHS U
        LDX #1
        LDB <DIMCNT
        STB <TMP5
.c      BSR dimcnt
        JSR umul
        TFR D,X
        DEC <TMP5
        BNE .c
        LDB <VARTYP
        CLRA
        JSR umul
        PSHS D
        LDB <DIMCNT
        LSLB
        ADDB #6
        CLRA
        ADDD ,S++
        LBCS omerr
        PSHS D              ; entry length
        ADDD <STREND
        LBCS omerr
        CMPD <FRETOP
        BLO .room
        JSR garbag
        LDD ,S
        ADDD <STREND
        CMPD <FRETOP
        LBHS omerr
.room   LDX <STREND
        STD <STREND
        PULS D
        STD 3,X
        LDD <VNAME
        STD ,X
        LDA <VARTYP
        STA 2,X
        LDB <DIMCNT
        STB 5,X
        STB <TMP5
        PULS U
        PSHS X
        LEAX 6,X
.h      BSR dimcnt
        STD ,X++
        DEC <TMP5
        BNE .h
.z      CMPX <STREND        ; elements start as zero
        BHS .zd
        CLR ,X+
        BRA .z
.zd     PULS X,PC

* assign: the value into the variable at X (type VARTYP).
assign  LDA <VARTYP
        CMPA #3
        BEQ .str
        LDB <VALTYP
        CMPB #3
        LBEQ tmerr
        CMPA #2
        BNE .f
        PSHS X
        JSR toint
        PULS X
        STD ,X
        RTS
.f      CMPB #2
        BNE .ff
        PSHS A,X
        LDD <IVAL
        JSR fp_fromint
        PULS A,X
.ff     CMPA #8
        BEQ .d
        JSR fp_sts
        LBCS error
        RTS
.d      JSR fp_std
        LBCS error
        RTS
.str    LDB <VALTYP
        CMPB #3
        LBNE tmerr
        PSHS X
        LDX <SDESC
        LDD 1,X
        CMPD <VARTAB
        BLO .keep           ; in the program text: shared
        CMPD <FRETOP
        BLO .copy
        CMPD <MEMSIZ
        BHS .copy
        LDD <TEMPPT         ; a temporary in string space is taken over
        SUBD #3
        CMPD <SDESC
        BEQ .keep
.copy   LDB ,X
        JSR getspa
        PSHS X,Y
        TFR X,Y
        LDX <SDESC
        JSR copyd
        PULS X,Y
        PSHS X
        LDX 2,S
        LDB [SDESC]
        STB ,X
        PULS D
        STD 1,X
        BRA .pop
.keep   LDX ,S
        PSHS Y
        LDY <SDESC
        LDA ,Y
        STA ,X
        LDD 1,Y
        STD 1,X
        PULS Y
.pop    LEAS 2,S
        LDX <SDESC
        JMP poptmp

* LET var = expression (also without LET)
let     LDA #1
        STA <SUBFLG
        JSR getvar
        PSHS X
        LDA <VARTYP
        PSHS A
        LDB #'='
        JSR need
        JSR eval
        PULS A
        STA <VARTYP
        PULS X
        JMP assign

* DIM name(bounds) [, ...]
dim     LDA #$80
        STA <SUBFLG
        JSR varname
        LDA ,Y
        CMPA #'('
        LBNE snerr
        JSR array
        JSR peek
        CMPA #','
        BNE .r
        LEAY 1,Y
        BRA dim
.r      RTS

* ERASE name [, ...]
erase   JSR varname
        LDX <ARYTAB
.f      CMPX <STREND
        LBHS fcerr
        LDD ,X
        CMPD <VNAME
        BNE .n
        LDA 2,X
        CMPA <VARTYP
        BEQ .got
.n      LDD 3,X
        LEAX D,X
        BRA .f
.got    TFR X,U
        LDD 3,X
        LEAX D,X
        PSHS D
        LDD <STREND
        PSHS X
        SUBD ,S++
        JSR movdn
        LDD <STREND
        SUBD ,S++
        STD <STREND
        LDU #USTK
        JSR peek
        CMPA #','
        BNE .r
        LEAY 1,Y
        BRA erase
.r      RTS

* DEFINT / DEFSNG / DEFDBL / DEFSTR letter[-letter] [, ...]
defint  LDB #2
        BRA deftyp
defsng  LDB #4
        BRA deftyp
defdbl  LDB #8
        BRA deftyp
defstr  LDB #3
deftyp  STB <TMP1
.l      JSR peek
        JSR isalpha
        LBCC snerr
        STA <TMP2
        STA <TMP2+1
        JSR nextc
        CMPA #'-'
        BNE .set
        JSR nextc
        JSR isalpha
        LBCC snerr
        STA <TMP2+1
        LEAY 1,Y
        CMPA <TMP2
        LBLO snerr
.set    LDX #DEFTBL-'A'
        LDB <TMP2
        ABX
        LDA <TMP1
.s      STA ,X+
        INCB
        CMPB <TMP2+1
        BLS .s
        JSR peek
        CMPA #','
        BNE .r
        LEAY 1,Y
        BRA .l
.r      RTS

* SWAP var, var
swap    LDA #1
        STA <SUBFLG
        PSHS Y
        JSR getvar
        JSR needcm
        JSR getvar
        LDA <VARTYP
        PSHS A,X
        PSHS Y
        LDY 5,S
        JSR getvar          ; the first again: making the second may move it
        PULS Y
        LDA <VARTYP
        CMPA ,S
        LBNE tmerr
        LDU 1,S
.l      LDB ,X
        PSHS B
        LDB ,U
        STB ,X+
        PULS B
        STB ,U+
        DECA
        BNE .l
        LEAS 5,S
        LDU #USTK
        RTS
