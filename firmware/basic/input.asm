* input.asm: INPUT, LINE INPUT, READ, RESTORE.
*
* INPUT reads the line into LINBUF (the statements being run are in the
* program or in DIRBUF). Items are separated by commas; a string may be
* quoted; a missing item asks again with "??"; a number that does not read
* as one (or extra text after it) prints "?Redo from start" and the whole
* INPUT is asked again; more items than variables print "?Extra ignored".
* READ takes items from DATA statements in order (DATPTR, DATLIN).
*
* Entry points:
*   item     X = text: the next item for a variable of type VARTYP ->
*            the value, X past it. C = 1 when it is not a good item. The
*            end character (TMP5+1) is ',' or 0 (INPUT) or also ':' (READ).

INPTR   EQU $70D6           ; INPUT: where the line is read (2)

item    LDA ,X
        CMPA #' '
        BNE .s
        LEAX 1,X
        BRA item
.s      LDB <VARTYP
        CMPB #3
        BNE .num
        CMPA #'"'
        BNE .unq
        LEAX 1,X
        PSHS X
        CLRB
.q      LDA ,X
        BEQ .qe
        LEAX 1,X
        CMPA #'"'
        BEQ .qe
        INCB
        BRA .q
.qe     STX <TMP1
        PULS X
        JSR putnew
        LDX <TMP1
        BRA .end
.unq    PSHS X
        CLRB
        CLR <TMP2           ; length without the trailing spaces
.u      LDA ,X
        BEQ .ue
        CMPA #','
        BEQ .ue
        CMPA <TMP5+1
        BEQ .ue
        LEAX 1,X
        INCB
        CMPA #' '
        BEQ .u
        STB <TMP2
        BRA .u
.ue     STX <TMP1
        PULS X
        LDB <TMP2
        JSR putnew
        LDX <TMP1
        BRA .end
.num    PSHS X
        JSR valtxt
        PULS D
        PSHS X
        CMPD ,S++           ; nothing read: only an empty item is 0
        BNE .end
        LDA ,X
        BEQ .end
        CMPA #','
        BEQ .end
        CMPA <TMP5+1
        BEQ .end
        BRA .bad
.end    LDA ,X
        CMPA #' '
        BNE .e2
        LEAX 1,X
        BRA .end
.e2     TSTA
        BEQ .ok
        CMPA #','
        BEQ .ok
        CMPA <TMP5+1
        BEQ .ok
.bad    ORCC #$01
        RTS
.ok     ANDCC #$FE
        RTS

* inprompt: the prompt of INPUT / LINE INPUT. With ? (INPUT after ";" or
* without a prompt) when A = 1.
inprompt JSR peek
        CMPA #'"'
        BNE .q
        JSR strlit
        JSR prtval
        JSR peek
        CMPA #';'
        BEQ .semi
        CMPA #','
        LBNE snerr
        LEAY 1,Y
        RTS
.semi   LEAY 1,Y
.q      TST <INPFLG
        BNE .r
        LDX #qmsg
        JSR outstr
.r      RTS

* getinl: a line into LINBUF; BREAK stops the program at the statement.
getinl  JSR inline
        TST <BRKFLG
        BNE .b
        RTS
.b      LDY <STMTPT
        JMP dobrk

xinput  JSR peek
        CMPA #'#'
        LBEQ finput         ; INPUT #n, from a file
        CLR <INPFLG
        PSHS Y
.redo   LDY ,S
        JSR inprompt
        JSR getinl
        LDX #LINBUF
        STX <INPTR
.var    LDA #1
        STA <SUBFLG
        JSR getvar
        PSHS X
        LDX <INPTR
        LDA ,X
        BNE .it
        CMPX #LINBUF        ; an empty line: the first item is empty
        BEQ .it
        LDX #q2msg          ; more is needed
        JSR outstr
        JSR getinl
        LDX #LINBUF
.it     CLR <TMP5+1
        JSR item
        BCS .again
        STX <INPTR
        PULS X
        JSR assign
        LDX <INPTR
        LDA ,X
        BEQ .n
        LEAX 1,X            ; the comma
        STX <INPTR
.n      JSR peek
        CMPA #','
        BNE .done
        LEAY 1,Y
        BRA .var
.again  LEAS 2,S
        LDX #redo
        JSR outstr
        BRA .redo
.done   LEAS 2,S
        LDX <INPTR
        TST ,X
        BEQ .r
        LDX #extra
        JSR outstr
.r      RTS

* LINE INPUT ["prompt";] v$
xline   JSR peek
        CMPA #T_INPUT
        LBNE xgline
        LDB #T_INPUT
        JSR need
        JSR peek
        CMPA #'#'
        LBEQ fline          ; LINE INPUT #n, from a file
        LDA #1
        STA <INPFLG
        JSR inprompt
        JSR getsvar
        PSHS X
        JSR getinl
        LDX #LINBUF
        JSR strlen
        DECB
        LDX #LINBUF
        JSR putnew
        PULS X
        JMP assign

* READ var [, var ...]
xread   LDA #1
        STA <SUBFLG
        JSR getvar
        PSHS X
        LDX <DATPTR
        BNE .at
        LDD #0
        STD <DATLIN
        LDX <TXTTAB         ; from the start: the zero before the first line
        LEAX -1,X
        BRA .find
.at     LDA ,X
        CMPA #','
        BNE .find
        LEAX 1,X
        BRA .take
.find   PSHS Y              ; the next DATA statement, found with scantok
        LDD <CURLIN
        PSHS D
        LDD <DATLIN
        STD <CURLIN
        TFR X,Y
        LDA #1
        STA <SCNDAT
.sc     JSR scantok
        TSTA
        BEQ .out
        CMPA #T_DATA
        BNE .sc
        CLR <SCNDAT
        TFR Y,X
        LDD <CURLIN
        STD <DATLIN
        PULS D
        STD <CURLIN
        PULS Y
.take   LDA #':'
        STA <TMP5+1
        JSR item
        BCS .bad
        STX <DATPTR
        PULS X
        JSR assign
        JSR peek
        CMPA #','
        BNE .r
        LEAY 1,Y
        BRA xread
.r      RTS
.out    CLR <SCNDAT
        PULS D
        STD <CURLIN
        PULS Y
        JMP oderr
.bad    LDD <DATLIN         ; a bad item: a syntax error in the DATA line
        STD <CURLIN
        JMP snerr

* RESTORE [line]
xrestor JSR getlin
        BCS .top
        JSR fndlin
        LBNE ulerr
        LEAX -1,X
        STX <DATPTR
        LDD #0
        STD <DATLIN
        RTS
.top    LDD #0
        STD <DATPTR
        STD <DATLIN
        RTS

qmsg    FCB "? ",0
q2msg   FCB "?? ",0
redo    FCB "?Redo from start",CH_CR,0
extra   FCB "?Extra ignored",CH_CR,0
