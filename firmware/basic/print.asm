* print.asm: PRINT and the text of numbers.
*
* Entry points:
*   fmtnum   the numeric value as PRINT shows it, without the trailing
*            space: X = text, B = length ("-5", " 3.25", " 1E+20")
*   prtval   the value printed as PRINT prints an item
*   outn     B characters at X printed
* Statements: PRINT (with ; , TAB( SPC( and USING).
* Work bytes: PRFLG.

fmtnum  LDA <VALTYP
        CMPA #2
        BNE .f
        LDD <IVAL
        PSHS A
        BPL .p
        COMA
        COMB
        ADDD #1
.p      JSR fmtuint
        LDA #' '
        TST ,S+
        BPL .s
        LDA #'-'
.s      STA ,-X
        PSHS X
        LDD #NUMBUF+8
        SUBD ,S
        PULS X,PC
.f      STA <FPREC
        JMP fp_format

outn    TSTB
        BEQ .r
        PSHS B,X
.l      LDA ,X+
        JSR outch
        DECB
        BNE .l
        PULS B,X
.r      RTS

prtval  LDA <VALTYP
        CMPA #3
        BEQ .s
        JSR fmtnum
        TST FOUT            ; on the screen a number is not split: when its
        BNE .o              ; text does not fit in the rest of the line, it
        TST <POSN           ; starts on the next one
        BEQ .o
        PSHS B
        ADDB <POSN
        CMPB <SCRW
        PULS B
        BLS .o
        JSR bcrlf
.o      BSR outn
        JMP outsp
.s      LDX <SDESC
        JSR frestr
        BRA outn

xprint  JSR peek
        CMPA #'#'
        BNE xprin0
        JSR fout2           ; PRINT #n, ...: to the file
        BSR xprin0
        JMP fioff
xprin0  JSR peek
        CMPA #T_USING
        LBEQ using
        CLR <PRFLG
.item   JSR peek
        JSR isend
        LBEQ .end
        CMPA #';'
        BEQ .semi
        CMPA #','
        BEQ .comma
        CMPA #T_TAB
        BEQ .tab
        CMPA #T_SPC
        BEQ .spc
        JSR eval
        JSR prtval
        CLR <PRFLG
        BRA .item
.semi   LEAY 1,Y
.set    LDA #1
        STA <PRFLG
        BRA .item
.comma  LEAY 1,Y
        LDA <POSN
.z      SUBA #14
        BHS .z
        NEGA                ; spaces to the next zone
        LDB <POSN
        PSHS A
        ADDB ,S
        ADDB #14
        CMPB <SCRW
        PULS A
        BLS .sp
        TST FRED            ; a file's lines are not broken (PRINT #)
        BNE .sp
        JSR bcrlf
        BRA .set
.sp     JSR outsp
        DECA
        BNE .sp
        BRA .set
.tab    LEAY 1,Y
        JSR getbyte
        JSR needrp
        TSTB
        BEQ .t0
        DECB
.tw     CMPB <SCRW          ; past the line's end: on the next lines
        BLO .t0
        SUBB <SCRW
        BRA .tw
.t0     CMPB <POSN
        BHS .t1
        JSR bcrlf
.t1     CMPB <POSN
        BLS .set
        JSR outsp
        BRA .t1
.spc    LEAY 1,Y
        JSR getbyte
        JSR needrp
.s1     TSTB
        BEQ .set
        JSR outsp
        DECB
        BRA .s1
.end    TST <PRFLG
        BNE .fl
        JMP bcrlf
.fl     JMP flushc

* ---------------------------------------------------------------- USING
* PRINT USING fmt$; items: each item goes into the next field of the format
* (used again from its start when it runs out); text between fields is
* printed as it stands, _ prints the next character as it stands.
*   ! first character   & whole string   \  \ as many as the field is wide
*   # digit  . point  , thousands (left of the point)  + sign in front or
*   behind  - minus behind  ** fill with *  $$ floating $  **$ both
*   ^^^^ exponent. A number too wide for its field gets a % in front.
USDESC  EQU $70D8           ; the format's descriptor (2)
USPOS   EQU $70DA           ; where the format goes on
USANY   EQU $70DB           ; a field was seen
USL     EQU $70DC           ; places left of the point
USR     EQU $70DD           ; digits right of the point
USFLG   EQU $70DE           ; field flags (below)
USDIG   EQU $70DF           ; digits from fp_digits
USEXP   EQU $70E0           ; decimal exponent of the first digit
USNEG   EQU $70E1           ; $FF when the number is negative
USW     EQU $70E2           ; a counter
UF_PT   EQU $01
UF_COM  EQU $02
UF_LPL  EQU $04
UF_TPL  EQU $08
UF_TMI  EQU $10
UF_AST  EQU $20
UF_DOL  EQU $40
UF_EXP  EQU $80

using   LEAY 1,Y
        JSR eval
        JSR chkstr0
        LDX <SDESC
        STX <USDESC
        TST ,X
        LBEQ fcerr
        CLR <USPOS
        CLR <USANY
        LDB #';'
        JSR need
        CLR <PRFLG
.item   JSR peek
        JSR isend
        BEQ .end
        JSR eval
        JSR usfield
        JSR peek
        CMPA #';'
        BEQ .sep
        CMPA #','
        BNE .nosep
.sep    LEAY 1,Y
        LDA #1
        STA <PRFLG
        BRA .item
.nosep  CLR <PRFLG
        BRA .item
.end    TST <PRFLG
        BNE .fl
        JSR uslit
        JMP bcrlf
.fl     JMP flushc

* fch: A = the format character at USPOS + B (0 past the end).
fch     PSHS B,X
        ADDB <USPOS
        BCS .z
        LDX <USDESC
        CMPB ,X
        BHS .z
        LDX 1,X
        LDA B,X
        CMPB #$80
        BLO .r
        LDX <USDESC
        LDX 1,X
        ABX
        LDA ,X
        BRA .r
.z      CLRA
.r      PULS B,X,PC

* fieldp: Z = 0 when a field starts at USPOS.
fieldp  CLRB
        BSR fch
        CMPA #'!'
        BEQ .yes
        CMPA #'&'
        BEQ .yes
        CMPA #'#'
        BEQ .yes
        CMPA #$5C
        BEQ .bs
        LDB #1
        CMPA #'.'
        BEQ .dig
        CMPA #'+'
        BEQ .plus
        CMPA #'*'
        BEQ .two
        CMPA #'$'
        BEQ .two
.no     ORCC #$04
        RTS
.yes    ANDCC #$FB
        RTS
.bs     LDB #1              ; \ ... \ with only spaces between
.bsl    BSR fch
        CMPA #$5C
        BEQ .yes
        CMPA #' '
        BNE .no
        INCB
        BRA .bsl
.dig    BSR fch
        CMPA #'#'
        BEQ .yes
        BRA .no
.plus   BSR fch
        CMPA #'#'
        BEQ .yes
        CMPA #'.'
        BEQ .yes
        CMPA #'*'
        BEQ .yes
        CMPA #'$'
        BEQ .yes
        BRA .no
.two    PSHS A
        BSR fch
        CMPA ,S+
        BEQ .yes
        BRA .no

* uslit: prints the format's text up to the next field or its end.
uslit   JSR fieldp
        BNE .r
        CLRB
        JSR fch
        TSTA
        BEQ .r
        INC <USPOS
        CMPA #'_'
        BNE .p
        CLRB
        JSR fch
        TSTA
        BEQ .r
        INC <USPOS
.p      JSR outch
        BRA uslit
.r      RTS

* usfield: literal text, then the value in the next field.
usfield JSR uslit
        CLRB
        JSR fch
        TSTA
        BNE .f
        TST <USANY          ; at the end: from the start again
        LBEQ fcerr
        CLR <USPOS
        BRA usfield
.f      INC <USANY
        CMPA #'!'
        BEQ .one
        CMPA #'&'
        BEQ .all
        CMPA #$5C
        BEQ .bs
        JMP usnum
.one    INC <USPOS
        LDB #1
        BRA .str
.all    INC <USPOS
        LDB #255
        BRA .str
.bs     LDB #1
.bsl    JSR fch
        INCB
        CMPA #$5C
        BNE .bsl
        CMPB #1
        BEQ .bsl
        TFR B,A
        ADDA <USPOS
        STA <USPOS
* B characters of the string value, padded with spaces (255: all of it).
.str    LDA <VALTYP
        CMPA #3
        LBNE tmerr
        STB <USW
        LDX <SDESC
        JSR frestr
        LDA <USW
        CMPA #255
        BNE .pad
        JMP outn
.pad    PSHS B
        CMPB <USW
        BLS .n
        LDB <USW
.n      JSR outn
        NEGB
        ADDB <USW
        PULS A
.sp     TSTB
        BEQ .r
        JSR outsp
        DECB
        BRA .sp
.r      RTS

* usnum: the numeric field at USPOS.
usnum   CLR <USL
        CLR <USR
        CLR <USFLG
        CLRB
        JSR fch
        CMPA #'+'
        BNE .a
        LDA #UF_LPL
        STA <USFLG
        INC <USL
        INCB
.a      JSR fch
        CMPA #'*'
        BNE .d
        LDA #UF_AST
        ORA <USFLG
        STA <USFLG
        INC <USL
        INC <USL
        ADDB #2
        JSR fch
        CMPA #'$'
        BNE .h
        INCB
        BRA .dol
.d      CMPA #'$'
        BNE .h
        ADDB #2
        INC <USL
.dol    INC <USL
        LDA #UF_DOL
        ORA <USFLG
        STA <USFLG
.h      JSR fch
        CMPA #'#'
        BEQ .h1
        CMPA #','
        BNE .pt
        LDA #UF_COM
        ORA <USFLG
        STA <USFLG
.h1     INC <USL
        INCB
        BRA .h
.pt     CMPA #'.'
        BNE .e
        LDA #UF_PT
        ORA <USFLG
        STA <USFLG
        INCB
.r1     JSR fch
        CMPA #'#'
        BNE .e
        INC <USR
        INCB
        BRA .r1
.e      JSR fch             ; ^^^^
        CMPA #'^'
        BNE .t
        PSHS B
        INCB
        JSR fch
        CMPA #'^'
        BNE .ne
        INCB
        JSR fch
        CMPA #'^'
        BNE .ne
        INCB
        JSR fch
        CMPA #'^'
        BNE .ne
        LEAS 1,S
        INCB
        LDA #UF_EXP
        ORA <USFLG
        STA <USFLG
        BRA .t
.ne     PULS B
.t      JSR fch
        LDA <USFLG
        BITA #UF_LPL
        BNE .go
        JSR fch
        CMPA #'+'
        BNE .m
        LDA #UF_TPL
        BRA .ts
.m      CMPA #'-'
        BNE .go
        LDA #UF_TMI
.ts     ORA <USFLG
        STA <USFLG
        INCB
.go     ADDB <USPOS
        STB <USPOS
* the number: its sign and digits
        LDA <VALTYP
        CMPA #3
        LBEQ tmerr
        JSR tofloat
        CLR <USNEG
        JSR fp_sgn
        TSTB
        BPL .pos
        COM <USNEG
        JSR fp_abs
.pos    LDA <USFLG
        BMI .expf
        LDB #16             ; where the first digit is
        JSR fp_digits
        TST <FAC
        BNE .nz
        CLRA
.nz     ADDA <USR           ; digits needed to the last place
        BLE .zero
        LDB <FPREC
        CMPB #8
        BEQ .d16
        LDB #7
        BRA .dn
.d16    LDB #16
.dn     PSHS B
        CMPA ,S+
        BLS .dd
        TFR B,A
.dd     STA <USDIG
        TFR A,B
        JSR fp_digits
        STA <USEXP
        BRA .fix
.zero   CLR <USDIG
        LDA <USR
        NEGA
        STA <USEXP
.fix    JSR usfix
        RTS
.expf   JMP usexpo

* usdig: A = digit number A (from 0) of the number, '0' outside those made.
usdig   TSTA
        BMI .z
        CMPA <USDIG
        BHS .z
        PSHS X
        LDX #FPSTR
        LDA A,X
        PULS X,PC
.z      LDA #'0'
        RTS

* usfix: prints the number in fixed form in the field.
usfix   LDA <USEXP          ; integer digits
        BGT .id
        LDA <USL
        LDB <USFLG
        BITB #UF_DOL
        BEQ .nd
        DECA
.nd     LBSR ussgn
        BEQ .ns
        DECA
.ns     TSTA
        BLE .none
        LDA #1              ; a 0 before the point when there is room
        BRA .id2
.none   CLRA
        BRA .id2
.id     LDA <USEXP
.id2    STA <USW            ; integer digits to print
        TFR A,B             ; width: digits, commas, $, sign
        LDA <USFLG
        BITA #UF_COM
        BEQ .nc
        TFR B,A
        DECA
        BLE .nc
.cm     SUBA #3
        BLO .nc
        INCB
        BRA .cm
.nc     LDA <USFLG
        BITA #UF_DOL
        BEQ .nd2
        INCB
.nd2    LBSR ussgn
        BEQ .ns2
        INCB
.ns2    CMPB <USL
        BLS .fits
        LDA #'%'
        JSR outch
        BRA .lead
.fits   NEGB
        ADDB <USL
        LDA #' '
        PSHS A
        LDA <USFLG
        BITA #UF_AST
        PULS A
        BEQ .f1
        LDA #'*'
.f1     TSTB
        BEQ .lead
        JSR outch
        DECB
        BRA .f1
.lead   BSR ussgn
        BEQ .nos
        JSR outch
.nos    LDA <USFLG
        BITA #UF_DOL
        BEQ .digs
        LDA #'$'
        JSR outch
.digs   LDB <USW            ; integer digits
        BEQ .pt
        LDA <USEXP
        BGT .real
        LDA #'0'
        JSR outch
        BRA .pt
.real   CLRA
.dl     PSHS A
        JSR usdig
        JSR outch
        PULS A
        INCA
        DECB
        BEQ .pt
        PSHS A              ; a comma when a multiple of 3 digits remain
        LDA <USFLG
        BITA #UF_COM
        BEQ .nc2
        TFR B,A
.m3     SUBA #3
        BHI .m3
        BNE .nc2
        LDA #','
        JSR outch
.nc2    PULS A
        BRA .dl
.pt     LDA <USFLG
        BITA #UF_PT
        BEQ .tr
        LDA #'.'
        JSR outch
        LDB <USR
        LDA <USEXP
.fr     TSTB
        BEQ .tr
        PSHS A
        JSR usdig
        JSR outch
        PULS A
        INCA
        DECB
        BRA .fr
.tr     JMP ustrail

* ussgn: A = the sign character in front ('-', '+') or Z = 1 for none.
ussgn   PSHS B
        LDB <USFLG
        BITB #UF_TPL|UF_TMI
        BNE .none
        BITB #UF_LPL
        BEQ .m
        LDA #'+'
        TST <USNEG
        BEQ .r
        LDA #'-'
        BRA .r
.m      TST <USNEG
        BEQ .none
        LDA #'-'
.r      ANDCC #$FB
        PULS B,PC
.none   ORCC #$04
        PULS B,PC

* ustrail: the sign behind the number.
ustrail LDB <USFLG
        BITB #UF_TPL
        BEQ .m
        LDA #'+'
        TST <USNEG
        BEQ .o
        LDA #'-'
.o      JMP outch
.m      BITB #UF_TMI
        BEQ .r
        LDA #' '
        TST <USNEG
        BEQ .o
        LDA #'-'
        BRA .o
.r      RTS

* usexpo: d.ddE+xx form; without + or - one place is kept for the sign.
usexpo  LDA <USL
        LDB <USFLG
        BITB #UF_LPL|UF_TPL|UF_TMI
        BNE .k
        DECA
        BPL .k
        CLRA
.k      STA <USW            ; digits in front of the point
        ADDA <USR
        BGT .n1
        LDA #1
.n1     CMPA #16
        BLS .n2
        LDA #16
.n2     STA <USDIG
        TFR A,B
        JSR fp_digits
        TST <FAC
        BNE .nz
        LDA <USW
.nz     SUBA <USW
        STA <USEXP          ; the exponent printed
        LDB <USFLG
        BITB #UF_LPL|UF_TPL|UF_TMI
        BNE .s
        LDA #' '
        TST <USNEG
        BEQ .o
        LDA #'-'
.o      JSR outch
        BRA .dg
.s      JSR ussgn
        BEQ .dg
        JSR outch
.dg     CLRA
        LDB <USW
.d1     TSTB
        BEQ .pt
        PSHS A
        JSR usdig
        JSR outch
        PULS A
        INCA
        DECB
        BRA .d1
.pt     LDB <USFLG
        BITB #UF_PT
        BEQ .e
        PSHS A
        LDA #'.'
        JSR outch
        PULS A
        LDB <USR
.d2     TSTB
        BEQ .e
        PSHS A
        JSR usdig
        JSR outch
        PULS A
        INCA
        DECB
        BRA .d2
.e      LDA #'E'
        JSR outch
        LDA #'+'
        LDB <USEXP
        BPL .ep
        LDA #'-'
        NEGB
.ep     JSR outch
        CLRA
.t      CMPB #10
        BLO .u
        SUBB #10
        INCA
        BRA .t
.u      ADDA #'0'
        JSR outch
        TFR B,A
        ADDA #'0'
        JSR outch
        JMP ustrail
