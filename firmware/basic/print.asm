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
        BSR outn
        JMP outsp
.s      LDX <SDESC
        JSR frestr
        BRA outn

xprint  JSR peek
        CMPA #T_USING
        LBEQ using
        CLR <PRFLG
.item   JSR peek
        JSR isend
        BEQ .end
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
        CMPB #80-14
        PULS A
        BLS .sp
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
