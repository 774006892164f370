* eval.asm: expressions.
*
* The value of an expression: VALTYP = 2 integer (IVAL), 3 string (SDESC =
* the address of its descriptor: length, address), 4 single or 8 double
* (FAC, with FPREC = VALTYP). Operands waiting for their right-hand side sit
* on the value stack U: the value (integer 2 bytes, string descriptor
* address 2 bytes, float the 10 bytes of FAC), then its type on top.
*
* Entry points:
*   eval     the expression at Y (Y moves past it)
*   evalb    B = binding of the operator before it: stops at operators that
*            bind as loosely or more
*   getnum   eval; a number is required      getint  eval -> D (-32768..32767)
*   getbyte  eval -> B (0..255), A = 0       getadr  eval -> D (0..65535)
*   getstr   eval -> X = characters, B = length (the value is released)
*   parnum   ( expression ) numeric           toint   value -> D
*   tofloat  value -> single or double in FAC
*   setint   D -> integer value               pushv / popv  value stack
*   negate   value := -value
*   imul     D * X -> D signed, C = 1 on overflow
*   idiv     D / X -> D (truncated), X remainder; signed
*   udiv     D / X -> D, X remainder; unsigned
*
* Bindings, loosest first: IMP 1, EQV 2, XOR 3, OR 4, AND 5, NOT 6,
* relations 7, + - 8, MOD 9, \ 10, * / 11, unary minus 12, ^ 13.

* Operators: binding and operator number, by character ('*'..'^') and by
* token (AND..MOD); 0 = not an operator.
opch    FCB 11,3,8,1,0,0,8,2,0,0,11,4      ; * + , - . /
        FILL 20,0                          ; 0-9
        FCB 0,0,0,0,7,$11,7,$12,7,$14      ; : ; < = >
        FILL 58,0                          ; ? @ A-Z [
        FCB 10,6,0,0,13,5                  ; \ ] ^
optok   FCB 5,8,4,9,3,10,2,11,1,12,9,7     ; AND OR XOR EQV IMP MOD

eval    CLRB
evalb   CMPS #STKLIM        ; nested too deeply for the stacks
        LBLO omerr
        CMPU #USTKLIM
        LBLO omerr
        PSHS B
        BSR operand
.loop   LDA ,Y
        CMPA #' '
        BNE .nsp
        LEAY 1,Y
        BRA .loop
.nsp    SUBA #'*'
        BLO .done
        CMPA #'^'-'*'
        BHI .tk
        LDX #opch
        LSLA
.got    LDB A,X
        BEQ .done
        CMPB ,S
        BLS .done
        INCA
        LDA A,X
        LEAY 1,Y
        CMPA #$10
        BLO .op
        STA <OPMASK
        JSR peek            ; <= >= <> and their reversed forms
        LDB #1
        CMPA #'<'
        BEQ .r2
        LDB #2
        CMPA #'='
        BEQ .r2
        LDB #4
        CMPA #'>'
        BNE .r3
.r2     LEAY 1,Y
        ORB <OPMASK
        STB <OPMASK
.r3     LDA <OPMASK
        LDB #7
.op     PSHS A,B
        JSR pushv
        LDB 1,S
        BSR evalb
        PULS A,B
        JSR apply
        BRA .loop
.done   PULS B,PC
.tk     SUBA #T_AND-'*'
        BLO .done
        CMPA #T_MOD-T_AND
        BHI .done
        LDX #optok
        LSLA
        BRA .got

operand JSR peek
        BEQ .miss
        CMPA #'-'
        BEQ .neg
        CMPA #'+'
        BEQ .plus
        CMPA #'('
        BEQ .par
        CMPA #'"'
        LBEQ strlit
        CMPA #'.'
        LBEQ number
        CMPA #'&'
        LBEQ hexnum
        CMPA #'0'
        BLO .x
        CMPA #'9'
        LBLS number
.x      TSTA
        BMI .tok
        CMPA #'A'
        BLO .miss
        CMPA #'Z'
        LBLS varval
.miss   JMP snerr
.neg    LEAY 1,Y
        LDB #12
        LBSR evalb
        JMP negate
.plus   LEAY 1,Y
        BRA operand
.par    LEAY 1,Y
        JSR eval
        JMP needrp
.tok    CMPA #T_NOT
        BEQ .not
        CMPA #T_EXT
        BEQ .ext
        CMPA #T_FN
        LBEQ fncall
        CMPA #T_SGN
        BLO .miss
        CMPA #T_LASTF
        BHI .miss
        LEAY 1,Y
        SUBA #T_SGN
        LDB #2              ; (unsigned, however many there are)
        MUL
        LDX #functab
        JMP [D,X]
.ext    LDB 1,Y             ; a function of xkwtab
        CMPB #X_FUNC
        BLO .miss
        CMPB #X_LASTF
        BHI .miss
        LEAY 2,Y
        SUBB #X_FUNC
        LSLB
        LDX #xfhand
        JMP [B,X]
.not    LEAY 1,Y
        LDB #6
        JSR evalb
        JSR toint
        COMA
        COMB
        JMP setint

setint  STD <IVAL
        LDA #2
        STA <VALTYP
        RTS

* strlit: "text" -> a temporary pointing at the text itself.
strlit  LEAY 1,Y
        TFR Y,X
        CLRB
.l      LDA ,Y
        BEQ .e
        LEAY 1,Y
        CMPA #'"'
        BEQ .e
        INCB
        BRA .l
.e      JMP putnew

* number: a constant. Whole numbers up to 32767 written without a point,
* exponent or type mark are read here; the rest by the number package.
number  TFR Y,X
        LDD #0
.d      STD <TMP1
        LDA ,X
        SUBA #'0'
        BLO .e
        CMPA #9
        BHI .e
        LEAX 1,X
        PSHS A
        LDD <TMP1
        CMPD #3276
        BHI .slow1
        LSLB
        ROLA
        STD <TMP2
        LSLB
        ROLA
        LSLB
        ROLA
        ADDD <TMP2
        ADDB ,S+
        ADCA #0
        BMI .slow
        BRA .d
.slow1  LEAS 1,S
        BRA .slow
.e      LDA ,X
        CMPA #'.'
        BEQ .slow
        CMPA #'E'
        BEQ .slow
        CMPA #'D'
        BEQ .slow
        CMPA #'#'
        BEQ .slow
        CMPA #'!'
        BEQ .slow
        CMPA #'%'
        BEQ .slow
        TFR X,Y
        LDD <TMP1
        BRA setint
.slow   TFR Y,X
        JSR fp_parse
        LBCS error
        TFR X,Y
        STA <VALTYP
        CMPA #2
        BNE .r
        JSR fp_toint
        STD <IVAL
.r      RTS

* hexnum: &Hhhhh, &Oooo or &ooo.
hexnum  LEAY 1,Y
        LDB #8
        LDA ,Y
        CMPA #'O'
        BEQ .o
        CMPA #'H'
        BNE .go
        LDB #16
.o      LEAY 1,Y
.go     STB <TMP2
        LDD #0
        STD <TMP1
.l      LDA ,Y
        SUBA #'0'
        BLO .e
        CMPA #9
        BLS .dig
        SUBA #7
        CMPA #10
        BLO .e
.dig    CMPA <TMP2
        BHS .e
        LEAY 1,Y
        LDB <TMP2
        PSHS A
.m      LSL <TMP1+1         ; times the base (8 or 16)
        ROL <TMP1
        LBCS overr
        LSRB
        CMPB #1
        BNE .m
        LDB ,S+
        ORB <TMP1+1
        STB <TMP1+1
        BRA .l
.e      LDD <TMP1
        LBRA setint

* varval: the value of a variable or array element.
varval  CLR <SUBFLG
        JSR getvar
ldval   LDA <VARTYP
        STA <VALTYP
        CMPA #3
        BHI .f
        BEQ .s
        LDD ,X
        STD <IVAL
        RTS
.s      STX <SDESC
        RTS
.f      STA <FPREC
        CMPA #8
        LBEQ fp_ldd
        JMP fp_lds

negate  LDA <VALTYP
        CMPA #3
        LBEQ tmerr
        CMPA #2
        BNE .f
        LDD <IVAL
        CMPD #$8000
        BEQ .big
        COMA
        COMB
        ADDD #1
        STD <IVAL
        RTS
.big    JSR fp_fromuint
        LDA #4
        STA <VALTYP
        STA <FPREC
        RTS
.f      JMP fp_neg

* toint: the value as an integer in D (rounded), Overflow outside.
toint   LDA <VALTYP
        CMPA #2
        BNE .f
        LDD <IVAL
        RTS
.f      CMPA #3
        LBEQ tmerr
        JSR fp_toint
        LBCS overr
        RTS

* tofloat: an integer becomes a single; a string is a type mismatch.
tofloat LDA <VALTYP
        CMPA #2
        BNE .f
        LDA #4
        STA <VALTYP
        STA <FPREC
        LDD <IVAL
        JMP fp_fromint
.f      CMPA #3
        LBEQ tmerr
        STA <FPREC
        RTS

getnum  JSR eval
chknum  LDA <VALTYP
        CMPA #3
        LBEQ tmerr
        RTS

getint  JSR eval
        BRA toint

getbyte JSR getint
        TSTA
        LBNE fcerr
        RTS

getadr  JSR getnum
        LDA <VALTYP
        CMPA #2
        BNE .f
        LDD <IVAL
        RTS
.f      JSR fp_touint
        LBCS fcerr
        RTS

getstr  JSR eval
chkstr  LDA <VALTYP
        CMPA #3
        LBNE tmerr
        LDX <SDESC
        JMP frestr

parnum  JSR needlp
        JSR getnum
        JMP needrp

pushv   LDB <VALTYP
        CMPB #3
        BHI .f
        LDX <IVAL
        BLO .i
        LDX <SDESC
.i      PSHU X
        PSHU B
        RTS
.f      LDX <FAC+8
        PSHU X
        LDX <FAC+6
        PSHU X
        LDX <FAC+4
        PSHU X
        LDX <FAC+2
        PSHU X
        LDX <FAC
        PSHU X
        PSHU B
        RTS

popv    PULU B
        STB <VALTYP
        CMPB #3
        BHI .f
        PULU X
        BLO .i
        STX <SDESC
        RTS
.i      STX <IVAL
        RTS
.f      STB <FPREC
        PULU X
        STX <FAC
        PULU X
        STX <FAC+2
        PULU X
        STX <FAC+4
        PULU X
        STX <FAC+6
        PULU X
        STX <FAC+8
        RTS

* apply: A = operator; the left operand on the value stack, the right one
* the value. The result is the value.
apply   LDB ,U
        CMPB #3
        LBEQ .lstr
        LDB <VALTYP
        CMPB #3
        LBEQ tmerr
        CMPA #$10
        LBHS .rel
        CMPA #8
        LBHS .logic
        CMPA #6
        LBHS .idiv
        LDB ,U
        CMPB #2
        BNE .flt
        LDB <VALTYP
        CMPB #2
        BNE .flt
        CMPA #1
        BEQ .iadd
        CMPA #2
        BEQ .isub
        CMPA #3
        BNE .flt
        LDD 1,U
        LDX <IVAL
        JSR imul
        BCS .flt3
        BRA .ist
.iadd   LDD 1,U
        ADDD <IVAL
        BVS .flt1
        BRA .ist
.isub   LDD 1,U
        SUBD <IVAL
        BVS .flt2
.ist    STD <IVAL
        LEAU 3,U
        RTS
.flt1   LDA #1
        BRA .flt
.flt2   LDA #2
        BRA .flt
.flt3   LDA #3
.flt    PSHS A
        JSR fltargs
        PULS A
        LDX #fpops-2
        LSLA
        JSR [A,X]
        LBCS error
        RTS
.rel    ANDA #7
        PSHS A
        LDB ,U
        CMPB #2
        BNE .rf
        LDB <VALTYP
        CMPB #2
        BNE .rf
        LDD 1,U
        LEAU 3,U
        CMPD <IVAL
        BLT .lt
        BEQ .eq
.gt     LDB #4
        BRA .res
.rf     JSR fltargs
        JSR fp_cmp
        TSTB
        BMI .lt
        BEQ .eq
        BRA .gt
.lt     LDB #1
        BRA .res
.eq     LDB #2
.res    ANDB ,S+
        BEQ .f0
        LDD #-1
        JMP setint
.f0     LDD #0
        JMP setint
.logic  PSHS A
        JSR toint
        PSHS D
        JSR popv
        JSR toint
        PSHS A
        LDA 3,S
        CMPA #8
        BEQ .and
        CMPA #9
        BEQ .or
        CMPA #11
        BLO .xor
        BEQ .eqv
        PULS A              ; IMP: NOT left OR right
        COMA
        COMB
        BRA .or2
.and    PULS A
        ANDA ,S
        ANDB 1,S
        BRA .lend
.or     PULS A
.or2    ORA ,S
        ORB 1,S
        BRA .lend
.xor    PULS A
        EORA ,S
        EORB 1,S
        BRA .lend
.eqv    PULS A
        EORA ,S
        EORB 1,S
        COMA
        COMB
.lend   LEAS 3,S
        JMP setint
.idiv   PSHS A
        JSR toint
        CMPD #0
        LBEQ dv0err
        PSHS D
        JSR popv
        JSR toint
        PULS X
        JSR idiv
        STD <TMP1
        PULS A
        CMPA #7
        BNE .q
        TFR X,D
        JMP setint
.q      LDD <TMP1
        JMP setint
.lstr   LDB <VALTYP
        CMPB #3
        LBNE tmerr
        CMPA #1
        BEQ .cat
        CMPA #$10
        LBLO tmerr
        ANDA #7
        PSHS A
        LDX <SDESC
        JSR frestr
        STX <TMP1
        STB <TMP3
        LDX 1,U
        LEAU 3,U
        JSR frestr
        STB <TMP3+1
        PSHS Y
        LDY <TMP1
        LDA <TMP3+1
        CMPA <TMP3
        BLS .m
        LDA <TMP3
.m      TSTA
        BEQ .lens
.c      LDB ,X+
        CMPB ,Y+
        BLO .slt
        BHI .sgt
        DECA
        BNE .c
.lens   LDA <TMP3+1
        CMPA <TMP3
        BLO .slt
        BHI .sgt
        LDB #2
        BRA .sres
.slt    LDB #1
        BRA .sres
.sgt    LDB #4
.sres   PULS Y
        LBRA .res
.cat    LDX 1,U
        LDB ,X
        LDX <SDESC
        ADDB ,X
        LBCS lserr
        PSHS B
        JSR getspa
        PSHS X,Y
        TFR X,Y
        LDX 1,U
        JSR copyd
        LDX <SDESC
        JSR copyd
        LDX <SDESC
        JSR frestr
        LDX 1,U
        JSR frestr
        LEAU 3,U
        PULS X,Y
        PULS B
        JMP putnew

fpops   FDB fp_add,fp_sub,fp_mul,fp_div,fp_pow

* fltargs: left operand (value stack) to ARG, right one (the value) to
* FAC, both as floats of the wider precision; FPREC and VALTYP set.
fltargs LDB ,U
        ORB <VALTYP
        ANDB #8
        BNE .p
        LDB #4
.p      STB <FPREC
        LDA <VALTYP
        CMPA #2
        BNE .r
        LDD <IVAL
        JSR fp_fromint
.r      LDA ,U+
        CMPA #2
        BNE .lf
        JSR fp_swap
        PULU D
        JSR fp_fromint
        JSR fp_swap
        BRA .t
.lf     PULU X
        STX <ARG
        PULU X
        STX <ARG+2
        PULU X
        STX <ARG+4
        PULU X
        STX <ARG+6
        PULU X
        STX <ARG+8
.t      LDA <FPREC
        STA <VALTYP
        RTS

* copyd: the string of descriptor X to Y (Y moves past it).
copyd   LDB ,X
        BEQ .r
        LDX 1,X
.l      LDA ,X+
        STA ,Y+
        DECB
        BNE .l
.r      RTS

imul    PSHS D,X
        CLR <TMP5
        TSTA
        BPL .a
        COM <TMP5
        COMA
        COMB
        ADDD #1
        STD ,S
.a      LDD 2,S
        BPL .b
        COM <TMP5
        COMA
        COMB
        ADDD #1
        STD 2,S
.b      LDA ,S
        BEQ .ok1
        LDA 2,S
        BNE .ovf
.ok1    LDA 1,S
        LDB 3,S
        MUL
        STD <TMP4
        LDA ,S
        LDB 3,S
        MUL
        STD <TMP3
        LDA 1,S
        LDB 2,S
        MUL
        ADDD <TMP3
        TSTA
        BNE .ovf
        ADDB <TMP4
        BCS .ovf
        STB <TMP4
        LDD <TMP4
        TST <TMP5
        BEQ .pos
        CMPD #$8000
        BHI .ovf
        COMA
        COMB
        ADDD #1
        BRA .done
.pos    TSTA
        BMI .ovf
.done   LEAS 4,S
        ANDCC #$FE
        RTS
.ovf    LEAS 4,S
        ORCC #$01
        RTS

* udiv: D / X unsigned -> D quotient, X remainder.
udiv    PSHS X
        STD <TMP2
        LDX #16
        LDD #0
.l      LSL <TMP2+1
        ROL <TMP2
        ROLB
        ROLA
        CMPD ,S
        BLO .n
        SUBD ,S
        INC <TMP2+1
.n      LEAX -1,X
        BNE .l
        TFR D,X
        LDD <TMP2
        LEAS 2,S
        RTS

* idiv: D / X signed, truncated; X = remainder with the dividend's sign.
idiv    CLR <TMP5
        CLR <TMP5+1
        TSTA
        BPL .a
        COM <TMP5
        COM <TMP5+1
        COMA
        COMB
        ADDD #1
.a      PSHS D
        TFR X,D
        TSTA
        BPL .b
        COM <TMP5
        COMA
        COMB
        ADDD #1
.b      TFR D,X
        PULS D
        BSR udiv
        TST <TMP5
        BEQ .p
        COMA
        COMB
        ADDD #1
        BRA .r
.p      TSTA
        LBMI overr          ; -32768 \ -1
.r      TST <TMP5+1
        BEQ .x
        PSHS D
        TFR X,D
        COMA
        COMB
        ADDD #1
        TFR D,X
        PULS D
.x      RTS
