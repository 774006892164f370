* subedit.asm: the screen editor of the sub CPU, included by sub.asm.
*
* Entry points (commands of the slot, see defs.inc):
*   cinput  C_INPUT: edit on the whole screen until RETURN, then hand the
*           logical line under the cursor to the main CPU
*   cmore   C_MORE: the part of that line from offset DATA[0]
* and, for the printing side of sub.asm:
*   lnfirst A = row -> A = first row of its logical line (X lost)
*
* The cursor keys move anywhere on the screen; printable codes overwrite the
* cell under the cursor (or are inserted in insert mode, INS with its lamp);
* BS deletes to the left, DEL at the cursor, Shift+DEL to the end of the
* logical line, ESC the whole line; HOME goes to the top left corner and CLS
* (Shift+HOME) clears the screen; TAB types spaces to the next multiple of
* eight. Typing past the last column goes on in the next row, which becomes
* part of the logical line (a blank row is opened below when the next row
* belongs to another line). A logical line holds at most LINMAX characters;
* a key that would go past that beeps.
*
* RETURN takes the logical line under the cursor, trailing spaces dropped,
* into LINE: from the column where the edit began when the cursor is still on
* that line (so a prompt printed before the edit is left out), else from the
* line's first column. The cursor goes to the start of the row after it.
*
* Work bytes (direct page D0): CURX, CURY, INSMODE, EDSTART and EDROW (where
* the edit began; EDROW is FF once that row has scrolled away), LINLEN,
* LNFIRST, LNLAST; CONT (row marks) and LINE in RAM at C800 and C900.
* Registers: the routines may change A, B, X, Y, U unless they say otherwise.

* ---------------------------------------------------------------- commands
* C_INPUT: the result is the line's first part (linepart), STAT 1 if the
* main CPU cancelled the edit.
cinput  CLR CANCEL
        LDA CURX
        STA EDSTART
        LDA CURY
        STA EDROW
        JSR curinit
.wait   TST CANCEL
        BNE .cancel
        JSR getk
        BCS .key
        JSR blink
        BRA .wait
.key    PSHS A
        JSR curoff
        PULS A
        CMPA #CH_CR
        BEQ edenter
        JSR edkey
        LDA TICKS           ; show the cursor at once
        SUBA #BLINK
        STA BLINKT
        BRA .wait
.cancel JSR curoff
        CLR SH_SUB+SH_LEN
        LDA #1
        STA SH_SUB+SH_STAT
        RTS

* C_MORE: DATA[0] is the offset of the part wanted.
cmore   LDA SH_SUB+SH_DATA
        JMP linepart

* edenter: RETURN. The line goes to LINE, its first part to the result.
edenter JSR txtstart
        JSR cellad          ; Y = its first character
        LDA LNLAST
        INCA
        LSLA
        LDX RTAB
        LDX A,X             ; X = the end of its last row
.trim   PSHS Y
        CMPX ,S++
        BLS .copy
        LDA -1,X
        CMPA #' '
        BNE .copy
        LEAX -1,X
        BRA .trim
.copy   TFR X,D
        PSHS Y
        SUBD ,S++
        CMPD #LINMAX
        BLS .len
        LDD #LINMAX
.len    STB LINLEN
        BEQ .done
        LDX #LINE
.cp     LDA ,Y+
        STA ,X+
        DECB
        BNE .cp
.done   LDA LNLAST
        STA CURY
        JSR newline
        CLRA
        BSR linepart
        LDA S_ATTN          ; tell the main CPU
        RTS

* linepart: LINE from offset A into the result: up to SH_DMAX characters,
* STAT ST_MORE when more follows, else 0 (also LEN 0 past the end).
linepart CMPA LINLEN
        BLO .some
        CLR SH_SUB+SH_LEN
        CLR SH_SUB+SH_STAT
        RTS
.some   PSHS A
        LDB LINLEN
        SUBB ,S
        CLRA
        CMPB #SH_DMAX
        BLS .last
        LDB #SH_DMAX
        LDA #ST_MORE
.last   STA SH_SUB+SH_STAT
        STB SH_SUB+SH_LEN
        PULS A
        PSHS B
        TFR A,B
        LDX #LINE
        ABX
        PULS B
        LDU #SH_SUB+SH_DATA
.cp     LDA ,X+
        STA ,U+
        DECB
        BNE .cp
        RTS

* ---------------------------------------------------------------- keys
* edkey: one key other than RETURN.
edkey   CMPA #$20
        BLO .ctl
        CMPA #$7F
        LBEQ eddel
        JMP edtype
.ctl    LDX #edtab
.find   LDB ,X
        BEQ .none
        CMPA ,X
        BEQ .hit
        LEAX 3,X
        BRA .find
.hit    JMP [1,X]
.none   RTS

edtab   FCB CH_BS
        FDB edbs
        FCB CH_LEFT
        FDB edleft
        FCB CH_RIGHT
        FDB edright
        FCB CH_UP
        FDB edup
        FCB CH_DOWN
        FDB eddown
        FCB CH_HOME
        FDB edhome
        FCB CH_CLS
        FDB edcls
        FCB $12             ; INS
        FDB edinsk
        FCB $11             ; Shift+INS
        FDB edinsk
        FCB $05             ; Shift+DEL
        FDB edclr
        FCB CH_ESC
        FDB edesc
        FCB CH_TAB
        FDB edtab8
        FCB 0

* edtype: the character A at the cursor, overwriting or inserting.
edtype  PSHS A
        BSR curoffs
        CMPD LMAX
        BHS .full
        TST INSMODE
        BEQ .put
        JSR edins
        BCS .full
.put    PULS A
        JSR drawch
        BRA edadv
.full   PULS A
        LDA S_BEEP
        RTS

* edadv: the cursor on by one. From the last column it goes to the next row
* of the logical line; when the next row belongs to another line (or there
* is none), a blank row opens below as the line's next row.
edadv   LDA CURX
        INCA
        CMPA NCOL
        BHS .wrap
        STA CURX
        RTS
.wrap   BSR curoffs
        ADDD #1
        CMPD LMAX
        BHS .r              ; the line is full: the cursor stays
        LDA CURY
        CMPA LROW
        BHS .add
        INCA
        LDX #CONT
        TST A,X
        BNE .down
.add    LDA CURY
        JSR addrow
.down   CLR CURX
        INC CURY
.r      RTS

* curoffs: D = the cursor's offset in its logical line.
curoffs LDA CURY
        JSR lnfirst
        NEGA
        ADDA CURY
        LDB NCOL
        MUL
        ADDB CURX
        ADCA #0
        RTS

edleft  LDA CURX
        BEQ .up
        DEC CURX
        RTS
.up     LDA CURY
        BEQ .r
        DEC CURY
        LDA NCOL
        DECA
        STA CURX
.r      RTS

edright LDA CURX
        INCA
        CMPA NCOL
        BHS .down
        STA CURX
        RTS
.down   LDA CURY
        CMPA LROW
        BHS .r
        INC CURY
        CLR CURX
.r      RTS

edup    LDA CURY
        BEQ .r
        DEC CURY
.r      RTS

* DOWN on the last row scrolls a blank row in.
eddown  LDA CURY
        CMPA LROW
        LBHS scroll
        INC CURY
        RTS

edhome  CLR CURX
        CLR CURY
        RTS

edcls   JSR cls
        CLR EDROW
        CLR EDSTART
        RTS

edinsk  LDA INSMODE
        EORA #1
        STA INSMODE
        BEQ .off
        LDA S_INSLAMP       ; a read lights the lamp
        RTS
.off    STA S_INSLAMP       ; a write puts it out
        RTS

edtab8  LDB #8
.l      PSHS B
        LDA #' '
        JSR edtype
        PULS B
        LDA CURX
        ANDA #7
        BEQ .r
        DECB
        BNE .l
.r      RTS

* edbs: BS. At the start of a logical line it does nothing.
edbs    BSR curoffs
        CMPD #0
        BEQ .r
        BSR edleft
        BRA eddel
.r      RTS

* edesc: ESC empties the line from where its text begins.
edesc   JSR txtstart
        STA CURY
        STB CURX
        BRA edclr

* ---------------------------------------------------------------- lines
* lnfirst: A = row -> A = the first row of its logical line. X is lost.
lnfirst LDX #CONT
.l      TSTA
        BEQ .r
        TST A,X
        BEQ .r
        DECA
        BRA .l
.r      RTS

* lnlast: A = row -> A = the last row of its logical line. X is lost.
lnlast  LDX #CONT
.l      CMPA LROW
        BHS .r
        INCA
        TST A,X
        BNE .l
        DECA
.r      RTS

* lnend: U = the text address after the last row of the cursor's line.
lnend   LDA CURY
        BSR lnlast
        STA LNLAST
        INCA
        LSLA
        LDX RTAB
        LDU A,X
        RTS

* eddel: the character at the cursor goes; the rest of the logical line
* moves left and a blank comes in at its end.
eddel   BSR lnend
        LDA CURY
        LDB CURX
        JSR cellad          ; Y = the cursor's cell
        PSHS U
.l      LEAY 1,Y
        CMPY ,S
        BHS .end
        LDA ,Y
        STA -1,Y
        BRA .l
.end    LDA #' '
        STA -1,Y
        PULS U
        BRA redrawln

* edclr: blanks from the cursor to the end of the logical line.
edclr   BSR lnend
        LDA CURY
        LDB CURX
        JSR cellad
        PSHS U
        LDA #' '
.l      CMPY ,S
        BHS .end
        STA ,Y+
        BRA .l
.end    PULS U
        BRA redrawln

* edins: the logical line moves right by one from the cursor, which is left
* on a blank. When the line's last cell holds a character the line first
* gains a row; C = 1 (nothing moved) when it cannot grow.
edins   BSR lnend           ; U = end, LNLAST
        LDA CURY
        BSR lnfirst
        STA LNFIRST
        LDB LNLAST
        SUBB LNFIRST
        CMPB #3
        BHS .four
        LDA -1,U
        CMPA #' '
        BEQ .shift
        LDA LNLAST
        JSR addrow
        BRA edins           ; again, with the new row
.four   LDA LNFIRST         ; four rows: LMAX cells
        LSLA
        LDX RTAB
        LDD A,X
        ADDD LMAX
        TFR D,U
        LDA -1,U
        CMPA #' '
        BEQ .shift
        ORCC #$01
        RTS
.shift  LDA CURY
        LDB CURX
        JSR cellad          ; Y = the cursor's cell
        PSHS Y
        TFR U,X
        LEAX -1,X
.l      CMPX ,S
        BLS .end
        LDA ,-X
        STA 1,X
        BRA .l
.end    LDA #' '
        STA ,X
        PULS Y
        BSR redrawln
        ANDCC #$FE
        RTS

* redrawln: draw the cursor row from the cursor, and the rest of its
* logical line, from the text screen.
redrawln LDA CURY
        LDB CURX
.row    PSHS A
        BSR redrow
        PULS A
        INCA
        CMPA LROW
        BHI .r
        LDX #CONT
        TST A,X
        BEQ .r
        CLRB
        BRA .row
.r      RTS

* redrow: draw row A from column B to its end.
redrow  JSR cellad          ; X = picture, Y = text
.l      CMPB NCOL
        BHS .r
        LDA ,Y+
        PSHS B
        JSR glyph
        PULS B
        LEAX 1,X
        TST WIDE
        BEQ .n
        LEAX 1,X
.n      INCB
        BRA .l
.r      RTS

* txtstart: where the text of the cursor's logical line begins: A = row,
* B = column. Also sets LNLAST.
txtstart LDA CURY
        JSR lnlast
        STA LNLAST
        LDA CURY
        JSR lnfirst
        LDB EDROW
        CMPB #NROWS         ; FF: the edit's row is gone
        BHS .line
        CMPB LNLAST
        BHI .line
        PSHS A
        CMPB ,S+
        BLO .line
        TFR B,A
        LDB EDSTART
        RTS
.line   CLRB
        RTS

* addrow: a blank row below row A continues A's logical line. Below the
* last row the screen scrolls up first, and the cursor row with it.
addrow  CMPA LROW
        BLO .mid
        JSR scroll
        DEC CURY
        LDA LROW
        BRA .mark
.mid    INCA
        PSHS A
        BSR openrow
        PULS A
.mark   LDX #CONT
        LDB #1
        STB A,X
        RTS

* openrow: rows A..LROW-1 move down by one (row LROW falls off) and row A
* becomes blank, beginning a line. A is 1..LROW.
openrow PSHS A
        LDB EDROW           ; the edit's row moves with its row
        CMPB #NROWS
        BHS .marks
        CMPB ,S
        BLO .marks
        INCB
        CMPB LROW
        BLS .ed
        LDB #$FF
.ed     STB EDROW
.marks  LDX #CONT
        LDB LROW
        ABX
        SUBB ,S
        BEQ .m0
.m      LDA -1,X
        STA ,X
        LEAX -1,X
        DECB
        BNE .m
.m0     CLR ,X
        LDA ,S              ; the text, 8 bytes a round
        LSLA
        LDX RTAB
        LDY A,X
        PSHS Y              ; row A
        LDA LROW
        LSLA
        LDU A,X             ; the last row: the end of what moves
        LDB NCOL
        LEAX B,U            ; and of where it goes
.t      CMPU ,S
        BLS .t0
        LDD ,--U
        STD ,--X
        LDD ,--U
        STD ,--X
        LDD ,--U
        STD ,--X
        LDD ,--U
        STD ,--X
        BRA .t
.t0     PULS X
        LDB NCOL
        LEAY B,X
        PSHS Y
        LDD #$2020
.tb     STD ,X++
        CMPX ,S
        BLO .tb
        LEAS 2,S
        LDA ,S              ; the picture, plane by plane
        LSLA
        LDX #rowvram
        LDD A,X
        PSHS D              ; row A's offset
        LDU #0
.p      TFR U,D
        ADDD ,S
        PSHS D              ; the first byte that moves
        LDA LROW
        LSLA
        LDX #rowvram
        LDD A,X
        LEAX D,U
.v      CMPX ,S
        BLS .v0
        LDD -2,X
        STD ROWBYTES-2,X
        LDD -4,X
        STD ROWBYTES-4,X
        LDD -6,X
        STD ROWBYTES-6,X
        LDD -8,X
        STD ROWBYTES-8,X
        LDD -10,X
        STD ROWBYTES-10,X
        LDD -12,X
        STD ROWBYTES-12,X
        LDD -14,X
        STD ROWBYTES-14,X
        LDD -16,X
        STD ROWBYTES-16,X
        LEAX -16,X
        BRA .v
.v0     LEAS 2,S
        LEAU PLANE1,U
        CMPU #3*PLANE1
        BLO .p
        PULS X
        LDY #ROWBYTES
        JSR clrarea
        PULS A,PC
